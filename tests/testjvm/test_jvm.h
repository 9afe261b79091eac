// The test JVM: a stand-in JVM library that exports the JNI invocation entry
// points, emulates the few Java classes the launcher touches, records what it
// is given and fails on demand.
//
// Control: "testjvm.control" beside the library, read at JNI_CreateJavaVM,
// one instruction a line:
//   create=N        JNI_CreateJavaVM fails with N (a negative JNI code)
//   detach=N        DetachCurrentThread returns N
//   missing=NAME    the class NAME (slash form) does not exist
//   nomain          the main class has no main, and the lookup leaves no
//                   exception behind (this JVM's LauncherHelper loads any class)
//   secondary=void  the main class has "secondaryMain([Ljava/lang/String;)V"
//   secondary=int   it has "secondaryMain([Ljava/lang/String;)I", returning
//                   its first argument when that is a number, else 7
//   secondarythrows the int secondaryMain throws IllegalStateException
//   wait            main writes "testjvm.ready" beside the library and
//                   returns once "testjvm.release" exists there
//   exit=N          the process then ends with N, as System.exit(N) would
//   service         main runs until the static stop() is called
//   nostop          the main class has no static stop()
//   sysexit=N       main calls System.exit(N) itself once it has printed
//   linger          main returns, and DestroyJavaVM waits (up to a minute)
//                   until the static stop() is called, as for a thread of
//                   the application that runs on
//   native=TEXT     after "main done", main writes "TEXT handle" straight
//                   to the process's standard error handle (descriptor 2 on
//                   POSIX) and "TEXT crt" through the C runtime's stderr
//   createwait      JNI_CreateJavaVM writes "testjvm.creating" beside the
//                   library and returns once "testjvm.release" exists there
// Log: "testjvm.log" beside the library, one line appended per event:
// "option TEXT" and "hook NAME" per creation option in order,
// "default-init-args" when the default stack size is asked for, "attach" and
// "detach" of threads that attached themselves, "secondaryMain argc=N" with
// " arg=" and the UTF-16 units in hex per argument, "call stop" and
// "call System.exit N".
// main prints "argc=N" and per argument "arg=" with its UTF-16 units in hex
// to System.out, and "main done" to System.err.
#pragma once

#include <cstdio>
#include <string>

#ifndef _JNI_IMPLEMENTATION_
#define _JNI_IMPLEMENTATION_
#endif
#include <jni.h>

namespace testjvm {

std::string ToModifiedUtf8(const std::u16string& text);

// The bodies of the exported entry points.
jint CreateVm(JavaVM** vm, void** env, void* initArguments);
jint DefaultInitArgs(void* initArguments);
jclass FindBootClass(const char* name);

}  // namespace testjvm
