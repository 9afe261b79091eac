// Rendering a Java exception's stack trace into text (the Failure Check
// setting).
#pragma once

#include <string>

#include "jvm/jni_api.h"

namespace javelin {

// Prints the stack trace of `exception` into a byte stream and returns its
// text; empty when a class, method or object is missing. Call it with no
// exception pending: the rendering runs Java code.
std::u16string RenderStackTrace(JNIEnv* env, jthrowable exception);

}  // namespace javelin
