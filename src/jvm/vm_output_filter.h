// A filter for the JVM's own console output (its "vfprintf" hook): passes
// everything through except the line with which a JVM recording an AOT
// configuration announces the file, so that a recording start prints what
// a start without the cache prints, thread dumps and warnings included.
#pragma once

#include <cstdarg>
#include <cstdio>

#include "jvm/jni_api.h"

namespace javelin {

// The type of the JavaVMOption "vfprintf"'s extraInfo.
using VmOutputHook = jint(JNICALL*)(FILE* stream, const char* format, va_list arguments);

// The filter: writes the formatted text to `stream` at once (the JVM writes
// unbuffered), unless it belongs to the announcement line. Returns the
// number of characters taken.
jint JNICALL FilterVmOutput(FILE* stream, const char* format, va_list arguments);

// FilterVmOutput where this platform records AOT configurations; null where
// it never does, so that the formatting code stays out of that launcher.
VmOutputHook VmOutputFilterHook();

}  // namespace javelin
