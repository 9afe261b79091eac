// The test JVM: a stand-in JVM library that exports the JNI invocation entry
// points, emulates the few Java classes the launcher touches, records what it
// is asked to do, and fails on demand.
//
// Control (read at every JNI_CreateJavaVM): the file named by
// JAVELIN_TESTJVM_CONTROL, else "testjvm.control" beside the library. One
// instruction a line:
//   create=N          JNI_CreateJavaVM returns N (a negative JNI code)
//   detach=N          DetachCurrentThread returns N
//   missing=NAME      the class NAME (slash form) does not exist
//   nomain            the main class has no main: NoSuchMethodError pending
//   nomain=quiet      the main class has no main, no exception pending
//   helper=null       LauncherHelper.checkAndLoadMain returns null
//   nostring          java.lang.String cannot be constructed
//   noutf             GetStringUTFChars fails
//   main=throw        main throws an IllegalStateException
//   main=exit:N       main calls System.exit(N)
//   secondary=N       secondaryMain exists with an int result N
//   secondary=void    secondaryMain exists with a void result
// Log (appended): the file named by JAVELIN_TESTJVM_LOG, else
// "testjvm.log" beside the library. One event a line; option bytes and
// Java strings are escaped (see EscapeBytes/EscapeUnits).
#pragma once

#include <cstdarg>
#include <cstdio>
#include <set>
#include <string>
#include <vector>

#ifndef _JNI_IMPLEMENTATION_
#define _JNI_IMPLEMENTATION_
#endif
#include <jni.h>

namespace testjvm {

// An object of the emulated Java heap. Objects are never freed: the test
// JVM lives for one short process.
struct Object {
  enum Kind { kClass, kString, kCharArray, kObjectArray, kFileStream, kPrintStream, kByteStream, kThrowable };
  Kind kind;
  std::string className;   // a class's own name, or the class of the object
  std::u16string text;     // string, char array or throwable message
  std::vector<Object*> elements;
  FILE* file = nullptr;    // file stream
  Object* target = nullptr;  // print stream: the stream it writes to
  std::string bytes;       // byte stream contents
};

struct Method {
  std::string className;
  std::string name;
  std::string signature;
  bool isStatic;
};

struct Control {
  int createResult = 0;
  int detachResult = 0;
  std::set<std::string> missingClasses;
  bool noMain = false;
  bool noMainQuiet = false;
  bool helperReturnsNull = false;
  bool noString = false;
  bool noUtf = false;
  bool mainThrows = false;
  bool mainExits = false;
  int mainExitCode = 0;
  bool hasIntSecondary = false;
  bool hasVoidSecondary = false;
  int secondaryResult = 0;
};

// State shared by the tables.
const Control& CurrentControl();
void LoadControl();
JNIEnv* Environment();

// Writes one line to the log.
void Log(const std::string& line);
// Printable ASCII stays, '\' doubles, everything else is \xHH / \uHHHH.
std::string EscapeBytes(const std::string& bytes);
std::string EscapeUnits(const std::u16string& units);

// Paths beside the library and file access (per platform).
std::string LibraryDirectory();  // with a trailing separator
std::string EnvironmentValue(const char* name);  // empty when unset
FILE* OpenFileForStream(const std::u16string& path, bool append);

// The emulated heap.
Object* NewObjectOf(Object::Kind kind, const std::string& className);
Object* ClassNamed(const std::string& name);
Object* StringOf(const std::u16string& text);
Method* MethodOf(const std::string& className, const std::string& name,
                 const std::string& signature, bool isStatic);
inline Object* O(jobject object) { return reinterpret_cast<Object*>(object); }
inline jobject J(Object* object) { return reinterpret_cast<jobject>(object); }

// Exceptions of the calling thread.
void Throw(const std::string& className, const std::u16string& message);
Object* PendingException();
void SetPendingException(Object* exception);
void DescribeException(Object* exception);

// The streams behind System.out and System.err (null: the process's own).
void WriteToStream(Object* printStream, bool isError, const std::string& text);
Object* SystemOut();
Object* SystemErr();
void SetSystemStream(bool isError, Object* printStream);

// The Java behaviour of the classes the launcher uses.
bool ClassExists(const std::string& name);
bool MethodExists(const std::string& className, const std::string& name,
                  const std::string& signature, bool isStatic);
jvalue Invoke(Method* method, Object* receiver, const std::vector<jvalue>& arguments);
Object* Construct(Method* constructor, const std::vector<jvalue>& arguments);

// Decodes the arguments of a call from its signature.
std::vector<jvalue> ArgumentsFromVaList(const Method* method, va_list arguments);
std::vector<jvalue> ArgumentsFromArray(const Method* method, const jvalue* arguments);

// The exit and abort hooks given to JNI_CreateJavaVM.
void CallExitHook(jint code);
void CallAbortHook();
// System.exit: the exit hook, then the process ends with the code.
[[noreturn]] void ExitProcess(int code);

// Modified UTF-8 of the JNI.
std::string ToModifiedUtf8(const std::u16string& units);

// The bodies of the exported entry points (exports.cc).
jint CreateVm(JavaVM** vm, void** env, void* initArguments);
jint DefaultInitArgs(void* initArguments);
jclass FindBootClass(const char* name);

// The function tables.
const JNINativeInterface_* NativeInterface();

}  // namespace testjvm
