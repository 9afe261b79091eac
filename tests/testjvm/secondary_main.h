// The test JVM's side of single-instance mode: a main class with or without
// secondaryMain, a main that runs until the test releases it, and a record
// of every forwarded call.
//
// Control lines (in "testjvm.control", see test_jvm.h):
//   secondary=void  the main class has "secondaryMain([Ljava/lang/String;)V"
//   secondary=int   it has "secondaryMain([Ljava/lang/String;)I", returning
//                   its first argument when that is a number, else 7
//   wait            main writes "testjvm.ready" beside the library and
//                   returns once "testjvm.release" exists there
//   exit=N          the process then ends with N, as System.exit(N) would
// Log lines: "attach" and "detach" of threads that attached themselves, and
// "secondaryMain argc=N" with " arg=" and the UTF-16 units in hex per
// argument.
#pragma once

#include <string>
#include <vector>

#include "test_jvm.h"

namespace testjvm {

// One line of the control file; false when the key is not one of these.
bool ReadSecondaryControl(const std::string& key, const std::string& value);

// Whether the main class has the static method `name` with `signature`.
bool HasSecondaryMain(const std::string& name, const std::string& signature);

// Records the call of a void secondaryMain, and of an int one, whose
// result it returns.
void RunVoidSecondaryMain(const std::vector<std::u16string>& arguments);
jint JNICALL CallStaticIntMethodV(JNIEnv*, jclass, jmethodID method, va_list arguments);

// The end of main: waits for the release and ends the process when asked,
// through the launcher's "exit" hook first, as System.exit does.
void AfterMain();
void SetExitHook(void* hook);

// The strings of a String[] of the emulated heap (in jni_env.cc).
std::vector<std::u16string> StringsOf(jobject array);

}  // namespace testjvm
