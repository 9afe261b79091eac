// The test JVM: a stand-in JVM library that exports the JNI invocation entry
// points, emulates the few Java classes the launcher touches, records what it
// is given and fails on demand.
//
// Control: "testjvm.control" beside the library, read at JNI_CreateJavaVM,
// one instruction a line:
//   create=N      JNI_CreateJavaVM fails with N (a negative JNI code)
//   detach=N      DetachCurrentThread returns N
//   missing=NAME  the class NAME (slash form) does not exist
//   nomain        the main class has no main, and the lookup leaves no
//                 exception behind
//   and the single-instance lines of secondary_main.h
// Log: "testjvm.log" beside the library, one line appended per event:
// "option TEXT" and "hook NAME" per creation option in order, and
// "default-init-args" when the default stack size is asked for.
// main prints "argc=N" and per argument "arg=" with its UTF-16 units in hex
// to System.out, and "main done" to System.err.
#pragma once

#include <cstdarg>
#include <cstdio>
#include <string>

#ifndef _JNI_IMPLEMENTATION_
#define _JNI_IMPLEMENTATION_
#endif
#include <jni.h>

namespace testjvm {

struct Control {
  int create = 0;
  int detach = 0;
  std::string missingClass;
  bool noMain = false;
};

const Control& CurrentControl();
void Log(const std::string& line);
std::string ToModifiedUtf8(const std::u16string& text);
const JNINativeInterface_* NativeInterface();

// Per platform: a file beside this library (C modes), and the file of a
// FileOutputStream.
FILE* OpenBesideLibrary(const char* name, const char* mode);
FILE* OpenStreamFile(const std::u16string& path, bool append);

// The service side (service_calls.cc): control lines read at creation,
// the static stop() and System.exit, and main's wait for stop().
void LoadServiceControl(const JavaVMInitArgs* arguments);
bool IsServiceMethod(const std::string& method);
bool RunServiceMethod(const std::string& method, va_list arguments);  // false: not one of them
void ServiceMainBody();

// The bodies of the exported entry points.
jint CreateVm(JavaVM** vm, void** env, void* initArguments);
jint DefaultInitArgs(void* initArguments);
jclass FindBootClass(const char* name);

}  // namespace testjvm
