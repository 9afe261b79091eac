#include "test_jvm.h"

#include <cstdlib>
#include <cstring>
#include <deque>
#include <fstream>
#include <map>
#include <memory>
#include <mutex>
#include <sstream>
#include <thread>

namespace testjvm {

namespace {

std::recursive_mutex stateLock;
Control control;
std::deque<Object> heap;
std::deque<Method> methods;
std::map<std::string, Object*> classes;
Object* systemOut = nullptr;
Object* systemErr = nullptr;

void* exitHookPointer = nullptr;
void* abortHookPointer = nullptr;

bool created = false;
int attachedThreads = 0;
thread_local bool threadAttached = false;
thread_local Object* pendingException = nullptr;

JNIEnv_ environment;
JavaVM_ javaVm;

std::string Trim(const std::string& text) {
  size_t begin = 0, end = text.size();
  while (begin < end && (text[begin] == ' ' || text[begin] == '\t' || text[begin] == '\r')) ++begin;
  while (end > begin && (text[end - 1] == ' ' || text[end - 1] == '\t' || text[end - 1] == '\r')) --end;
  return text.substr(begin, end - begin);
}

std::string ControlPath() {
  const std::string fromEnvironment = EnvironmentValue("JAVELIN_TESTJVM_CONTROL");
  return fromEnvironment.empty() ? LibraryDirectory() + "testjvm.control" : fromEnvironment;
}

std::string LogPath() {
  const std::string fromEnvironment = EnvironmentValue("JAVELIN_TESTJVM_LOG");
  return fromEnvironment.empty() ? LibraryDirectory() + "testjvm.log" : fromEnvironment;
}

char HexDigit(unsigned value) { return "0123456789ABCDEF"[value & 15]; }

// The JavaVM table.

jint JNICALL DestroyJavaVm(JavaVM*) {
  std::lock_guard<std::recursive_mutex> guard(stateLock);
  const int others = attachedThreads - (threadAttached ? 1 : 0);
  if (others > 0) {
    // A real JVM waits until those threads detach, which never happens when
    // the thread that created it has gone without detaching.
    Log("destroy-blocked " + std::to_string(others));
    fprintf(stderr, "testjvm: DestroyJavaVM would wait for ever: %d thread(s) still attached\n", others);
    fflush(stderr);
    abort();
  }
  Log("destroy");
  if (threadAttached) --attachedThreads;
  threadAttached = false;
  created = false;
  attachedThreads = 0;
  systemOut = systemErr = nullptr;
  for (Object& object : heap) {
    if (object.file != nullptr) fclose(object.file);
    object.file = nullptr;
  }
  return JNI_OK;
}

jint JNICALL AttachCurrentThread(JavaVM*, void** env, void*) {
  std::lock_guard<std::recursive_mutex> guard(stateLock);
  if (!created) return JNI_ERR;
  if (!threadAttached) {
    threadAttached = true;
    ++attachedThreads;
  }
  Log("attach");
  *env = &environment;
  return JNI_OK;
}

jint JNICALL DetachCurrentThread(JavaVM*) {
  std::lock_guard<std::recursive_mutex> guard(stateLock);
  const jint result = control.detachResult;
  // As a JVM does, an exception still pending is reported as uncaught.
  if (pendingException != nullptr) {
    Object* uncaught = pendingException;
    pendingException = nullptr;
    Log("uncaught " + uncaught->className);
    DescribeException(uncaught);
  }
  Log("detach " + std::to_string(result));
  // An injected failure changes only the result: the thread is gone from
  // the JVM either way, so a later DestroyJavaVM still completes.
  if (threadAttached) --attachedThreads;
  threadAttached = false;
  return result;
}

jint JNICALL GetEnv(JavaVM*, void** env, jint) {
  if (!threadAttached) {
    *env = nullptr;
    return JNI_EDETACHED;
  }
  *env = &environment;
  return JNI_OK;
}

const JNIInvokeInterface_ invokeInterface = {
    nullptr, nullptr, nullptr, DestroyJavaVm, AttachCurrentThread, DetachCurrentThread, GetEnv,
    AttachCurrentThread,  // AttachCurrentThreadAsDaemon
};

}  // namespace

const Control& CurrentControl() { return control; }

void LoadControl() {
  control = Control();
  std::ifstream in(ControlPath());
  std::string line;
  while (std::getline(in, line)) {
    line = Trim(line);
    const size_t equals = line.find('=');
    const std::string key = line.substr(0, equals);
    const std::string value = equals == std::string::npos ? "" : line.substr(equals + 1);
    if (key == "create") control.createResult = atoi(value.c_str());
    else if (key == "detach") control.detachResult = atoi(value.c_str());
    else if (key == "missing") control.missingClasses.insert(value);
    else if (key == "nomain") (value == "quiet" ? control.noMainQuiet : control.noMain) = true;
    else if (key == "helper" && value == "null") control.helperReturnsNull = true;
    else if (key == "nostring") control.noString = true;
    else if (key == "noutf") control.noUtf = true;
    else if (key == "main" && value == "throw") control.mainThrows = true;
    else if (key == "main" && value.compare(0, 5, "exit:") == 0) {
      control.mainExits = true;
      control.mainExitCode = atoi(value.c_str() + 5);
    } else if (key == "secondary" && value == "void") {
      control.hasVoidSecondary = true;
    } else if (key == "secondary") {
      control.hasIntSecondary = true;
      control.secondaryResult = atoi(value.c_str());
    }
  }
}

JNIEnv* Environment() { return &environment; }

void Log(const std::string& line) {
  std::lock_guard<std::recursive_mutex> guard(stateLock);
  // Opened for every line, so that nothing is lost when the process ends
  // through exit() or abort().
  std::ofstream out(LogPath(), std::ios::binary | std::ios::app);
  out << line << '\n';
}

std::string EscapeBytes(const std::string& bytes) {
  std::string escaped;
  for (unsigned char c : bytes) {
    if (c == '\\') {
      escaped += "\\\\";
    } else if (c >= 0x20 && c < 0x7F) {
      escaped.push_back(static_cast<char>(c));
    } else {
      escaped += "\\x";
      escaped.push_back(HexDigit(c >> 4));
      escaped.push_back(HexDigit(c));
    }
  }
  return escaped;
}

std::string EscapeUnits(const std::u16string& units) {
  std::string escaped;
  for (char16_t c : units) {
    if (c == u'\\') {
      escaped += "\\\\";
    } else if (c >= 0x20 && c < 0x7F) {
      escaped.push_back(static_cast<char>(c));
    } else {
      escaped += "\\u";
      for (int shift = 12; shift >= 0; shift -= 4) escaped.push_back(HexDigit(c >> shift));
    }
  }
  return escaped;
}

Object* NewObjectOf(Object::Kind kind, const std::string& className) {
  std::lock_guard<std::recursive_mutex> guard(stateLock);
  heap.push_back(Object{kind, className, {}, {}, nullptr, nullptr, {}});
  return &heap.back();
}

Object* ClassNamed(const std::string& name) {
  std::lock_guard<std::recursive_mutex> guard(stateLock);
  Object*& found = classes[name];
  if (found == nullptr) found = NewObjectOf(Object::kClass, name);
  return found;
}

Object* StringOf(const std::u16string& text) {
  Object* string = NewObjectOf(Object::kString, "java/lang/String");
  string->text = text;
  return string;
}

Method* MethodOf(const std::string& className, const std::string& name,
                 const std::string& signature, bool isStatic) {
  std::lock_guard<std::recursive_mutex> guard(stateLock);
  for (Method& method : methods) {
    if (method.className == className && method.name == name && method.signature == signature &&
        method.isStatic == isStatic) {
      return &method;
    }
  }
  methods.push_back(Method{className, name, signature, isStatic});
  return &methods.back();
}

void Throw(const std::string& className, const std::u16string& message) {
  Object* exception = NewObjectOf(Object::kThrowable, className);
  exception->text = message;
  pendingException = exception;
}

Object* PendingException() { return pendingException; }
void SetPendingException(Object* exception) { pendingException = exception; }

void DescribeException(Object* exception) {
  std::string name = exception->className;
  for (char& c : name) {
    if (c == '/') c = '.';
  }
  std::string line = "Exception in thread \"main\" " + name;
  if (!exception->text.empty()) line += ": " + ToModifiedUtf8(exception->text);
  WriteToStream(systemErr, true, line + "\n");
}

void WriteToStream(Object* printStream, bool isError, const std::string& text) {
  Object* target = printStream != nullptr ? printStream->target : nullptr;
  if (target != nullptr && target->kind == Object::kByteStream) {
    target->bytes += text;
    return;
  }
  FILE* file = target != nullptr && target->file != nullptr ? target->file : (isError ? stderr : stdout);
  fwrite(text.data(), 1, text.size(), file);
  fflush(file);
}

Object* SystemOut() { return systemOut; }
Object* SystemErr() { return systemErr; }
void SetSystemStream(bool isError, Object* printStream) {
  (isError ? systemErr : systemOut) = printStream;
}

void CallExitHook(jint code) {
  if (exitHookPointer != nullptr) reinterpret_cast<void(JNICALL*)(jint)>(exitHookPointer)(code);
}

void CallAbortHook() {
  if (abortHookPointer != nullptr) reinterpret_cast<void(JNICALL*)()>(abortHookPointer)();
}

void ExitProcess(int code) {
  Log("exit " + std::to_string(code));
  CallExitHook(code);
  fflush(stdout);
  fflush(stderr);
  exit(code);
}

std::string ToModifiedUtf8(const std::u16string& units) {
  std::string bytes;
  for (char16_t c : units) {
    if (c != 0 && c < 0x80) {
      bytes.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
      bytes.push_back(static_cast<char>(0xC0 | (c >> 6)));
      bytes.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
      bytes.push_back(static_cast<char>(0xE0 | (c >> 12)));
      bytes.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
      bytes.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
  }
  return bytes;
}

// Records the creation arguments, then creates the one JVM unless told to
// fail.
jint CreateVm(JavaVM** vm, void** env, void* initArguments) {
  std::lock_guard<std::recursive_mutex> guard(stateLock);
  *vm = nullptr;
  *env = nullptr;
  LoadControl();
  const JavaVMInitArgs* arguments = static_cast<const JavaVMInitArgs*>(initArguments);
  std::ostringstream header;
  header << "create version=0x" << std::hex << arguments->version << std::dec
         << " options=" << arguments->nOptions
         << " ignoreUnrecognized=" << static_cast<int>(arguments->ignoreUnrecognized);
  Log(header.str());
  exitHookPointer = abortHookPointer = nullptr;
  for (jint i = 0; i < arguments->nOptions; ++i) {
    const JavaVMOption& option = arguments->options[i];
    const std::string text = option.optionString != nullptr ? option.optionString : "";
    if (option.extraInfo == nullptr) {
      Log("option " + EscapeBytes(text));
    } else {
      Log("hook " + EscapeBytes(text));
      if (text == "exit") exitHookPointer = option.extraInfo;
      if (text == "abort") abortHookPointer = option.extraInfo;
    }
  }
  if (control.createResult != 0) {
    Log("create-result " + std::to_string(control.createResult));
    return control.createResult;
  }
  if (created) return JNI_EEXIST;
  created = true;
  threadAttached = true;
  attachedThreads = 1;
  pendingException = nullptr;
  environment.functions = NativeInterface();
  javaVm.functions = &invokeInterface;
  *vm = &javaVm;
  *env = &environment;
  return JNI_OK;
}

// Reports a default Java thread stack size of 1 MiB for JDK 1.1 blocks.
jint DefaultInitArgs(void* initArguments) {
  const jint* version = static_cast<const jint*>(initArguments);
  std::ostringstream line;
  line << "default-init-args version=0x" << std::hex << *version;
  Log(line.str());
  if (*version != JNI_VERSION_1_1) return JNI_EVERSION;
  // The JDK 1.1 block: version, properties, checkSource, nativeStackSize,
  // javaStackSize, ...
  struct Head {
    jint version;
    char** properties;
    jint checkSource;
    jint nativeStackSize;
    jint javaStackSize;
  };
  static_cast<Head*>(initArguments)->javaStackSize = 1024 * 1024;
  return JNI_OK;
}

jclass FindBootClass(const char* name) {
  Log(std::string("bootloader ") + name);
  // Only the JDK's own classes come from the boot loader.
  const std::string className = name;
  if (className.compare(0, 5, "java/") != 0 && className.compare(0, 4, "sun/") != 0) return nullptr;
  if (!ClassExists(className)) return nullptr;
  return reinterpret_cast<jclass>(ClassNamed(className));
}

}  // namespace testjvm
