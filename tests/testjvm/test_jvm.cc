// The invocation interface of the test JVM and its JNIEnv function table with
// the Java behaviour of the few classes the launcher uses. Every JNIEnv slot
// the launcher has no business calling aborts.
#include "test_jvm.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdarg>
#include <cstdlib>
#include <cstring>
#include <map>
#include <mutex>
#include <thread>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#else
#include <dlfcn.h>
#include <unistd.h>
#endif

namespace testjvm {

namespace {

// A file beside this library (C modes), and the file of a FileOutputStream.
#ifdef _WIN32
FILE* OpenBesideLibrary(const char* name, const char* mode) {
  HMODULE module = nullptr;
  GetModuleHandleExW(
      GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
      reinterpret_cast<LPCWSTR>(&OpenBesideLibrary), &module);
  wchar_t buffer[4096];
  const std::wstring library(buffer, GetModuleFileNameW(module, buffer, 4096));
  const std::wstring path =
      library.substr(0, library.rfind(L'\\') + 1) + std::wstring(name, name + strlen(name));
  return _wfopen(path.c_str(), std::wstring(mode, mode + strlen(mode)).c_str());
}

FILE* OpenStreamFile(const std::u16string& path, bool append) {
  return _wfopen(reinterpret_cast<const wchar_t*>(path.c_str()), append ? L"ab" : L"wb");
}
#else
FILE* OpenBesideLibrary(const char* name, const char* mode) {
  Dl_info info;
  if (dladdr(reinterpret_cast<void*>(&OpenBesideLibrary), &info) == 0 || info.dli_fname == nullptr)
    return nullptr;
  const std::string library = info.dli_fname;
  return fopen((library.substr(0, library.rfind('/') + 1) + name).c_str(), mode);
}

// Modified UTF-8 is UTF-8 for the paths the tests use (all in the BMP).
FILE* OpenStreamFile(const std::u16string& path, bool append) {
  return fopen(ToModifiedUtf8(path).c_str(), append ? "ab" : "wb");
}
#endif

// An object of the emulated heap.
struct Object {
  std::string className;          // the object's class, or a class's own name
  std::u16string text;            // String, char[] or exception message
  std::vector<Object*> elements;  // Object[]
  FILE* file = nullptr;           // FileOutputStream, and the PrintStream on it
};

std::map<std::string, std::string> control;  // the instructions: key, and value or ""
std::map<std::string, Object*> classes;
Object* systemOut = nullptr;
Object* systemErr = nullptr;
thread_local Object* pending = nullptr;
// Forwarded calls run on threads of their own beside main.
std::mutex classesLock;
std::atomic<int> attachedThreads{0};
thread_local bool threadAttached = false;
thread_local bool attachedItself = false;  // through AttachCurrentThread
JNIEnv_ environment;
JavaVM_ javaVm;
void(JNICALL* exitHook)(jint) = nullptr;
std::mutex stopMutex;
std::condition_variable stopCalled;
bool stopped = false;

const char* const kKnownMethods[] = {
    "java/lang/String.<init>([C)V",
    "java/io/FileOutputStream.<init>(Ljava/lang/String;Z)V",
    "java/io/PrintStream.<init>(Ljava/io/OutputStream;)V",
    "java/lang/System.setOut(Ljava/io/PrintStream;)V",
    "java/lang/System.setErr(Ljava/io/PrintStream;)V",
    "java/lang/System.exit(I)V",
    "sun/launcher/LauncherHelper.checkAndLoadMain(ZILjava/lang/String;)Ljava/lang/Class;",
};

bool Has(const char* key) { return control.count(key) != 0; }
std::string Value(const char* key) { return Has(key) ? control.at(key) : ""; }
int Number(const char* key) { return atoi(Value(key).c_str()); }

void LoadControl() {
  control.clear();
  FILE* file = OpenBesideLibrary("testjvm.control", "r");
  char buffer[1024];
  while (file != nullptr && fgets(buffer, sizeof buffer, file) != nullptr) {
    std::string line = buffer;
    line.erase(line.find_last_not_of("\r\n") + 1);
    const size_t equals = line.find('=');
    control[line.substr(0, equals)] = equals == std::string::npos ? "" : line.substr(equals + 1);
  }
  if (file != nullptr) fclose(file);
}

// The file is opened for every line, so that nothing is lost when the
// process ends through exit() or abort(). Forwarded calls log at the same
// time, and Windows appends by seeking to the end first: one line at a time.
void Log(const std::string& line) {
  static std::mutex logLock;
  std::lock_guard<std::mutex> lock(logLock);
  FILE* file = OpenBesideLibrary("testjvm.log", "ab");
  if (file == nullptr) return;
  fprintf(file, "%s\n", line.c_str());
  fclose(file);
}

std::string Hex(const std::u16string& units) {  // "0041 0042"
  std::string text;
  for (char16_t unit : units) {
    char digits[8];
    snprintf(digits, sizeof digits, text.empty() ? "%04X" : " %04X", static_cast<unsigned>(unit));
    text += digits;
  }
  return text;
}

bool EndsWith(const std::string& text, const std::string& end) {
  return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// Objects and method IDs are never freed: the process is short.
Object* New(const std::string& className, const std::u16string& text = u"") {
  return new Object{className, text, {}, nullptr};
}

Object* O(const void* reference) { return static_cast<Object*>(const_cast<void*>(reference)); }

Object* ClassNamed(const std::string& name) {
  std::lock_guard<std::mutex> lock(classesLock);
  Object*& found = classes[name];
  if (found == nullptr) found = New(name);
  return found;
}

std::u16string Wide(const std::string& text) { return std::u16string(text.begin(), text.end()); }

void Throw(const std::string& className, const std::u16string& message) {
  pending = New(className, message);
}

void Print(Object* printStream, FILE* standard, const std::string& text) {
  FILE* file = printStream != nullptr ? printStream->file : standard;
  fputs(text.c_str(), file);
  fflush(file);
}

// As the JVM does: the exit hook first, then the process ends.
[[noreturn]] void SystemExit(int code, bool logged) {
  if (logged) Log("call System.exit " + std::to_string(code));
  if (exitHook != nullptr) exitHook(code);
  exit(code);
}

// "native=TEXT": main writes "TEXT handle" straight to the process's
// standard error (its handle on Windows, descriptor 2 on POSIX) and
// "TEXT crt" through the C runtime's stderr, as a JVM writes its own
// messages.
void WriteNatively() {
  if (!Has("native")) return;
  const std::string handleLine = Value("native") + " handle\n";
#ifdef _WIN32
  DWORD written = 0;
  WriteFile(GetStdHandle(STD_ERROR_HANDLE), handleLine.data(),
            static_cast<DWORD>(handleLine.size()), &written, nullptr);
#else
  const ssize_t written = write(2, handleLine.data(), handleLine.size());
  (void)written;
#endif
  fputs((Value("native") + " crt\n").c_str(), stderr);
  fflush(stderr);
}

// Logs the call with the strings of the String[] `array`; returns them.
std::vector<std::u16string> SecondaryMain(jobject array) {
  std::vector<std::u16string> strings;
  std::string text;
  for (Object* element : O(array)->elements) {
    strings.push_back(element->text);
    text += " arg=" + Hex(element->text);
  }
  Log("secondaryMain argc=" + std::to_string(strings.size()) + text);
  return strings;
}

void Main(jobject array) {
  const std::vector<Object*>& elements = O(array)->elements;
  std::string text = "argc=" + std::to_string(elements.size()) + "\n";
  for (Object* argument : elements) text += "arg=" + Hex(argument->text) + "\n";
  Print(systemOut, stdout, text);
  if (Has("sysexit")) SystemExit(Number("sysexit"), true);
  if (Has("service")) {
    std::unique_lock<std::mutex> lock(stopMutex);
    stopCalled.wait(lock, [] { return stopped; });
  }
  Print(systemErr, stderr, "main done\n");
  WriteNatively();
  if (Has("wait")) {
    FILE* ready = OpenBesideLibrary("testjvm.ready", "wb");
    if (ready != nullptr) fclose(ready);
    for (int i = 0; i < 12000; ++i, std::this_thread::sleep_for(std::chrono::milliseconds(10))) {
      if (FILE* release = OpenBesideLibrary("testjvm.release", "rb")) {
        fclose(release);
        break;
      }
    }
  }
  if (Has("exit")) SystemExit(Number("exit"), false);
}

// Runs the method or constructor `id` with its arguments.
jobject Run(jmethodID id, va_list arguments) {
  const std::string& method = *reinterpret_cast<const std::string*>(id);
  const auto named = [&](const char* start) { return method.rfind(start, 0) == 0; };
  if (method == "java/lang/System.exit(I)V") SystemExit(va_arg(arguments, jint), true);
  if (method.find(".secondaryMain(") != std::string::npos) {
    SecondaryMain(va_arg(arguments, jobject));
  } else if (EndsWith(method, ".stop()V")) {
    Log("call stop");
    std::lock_guard<std::mutex> lock(stopMutex);
    stopped = true;
    stopCalled.notify_all();
  } else if (named("java/lang/String.")) {
    return reinterpret_cast<jobject>(New("java/lang/String", O(va_arg(arguments, jobject))->text));
  } else if (named("java/io/FileOutputStream.")) {
    const std::u16string& path = O(va_arg(arguments, jobject))->text;
    Object* stream = New("java/io/FileOutputStream");
    stream->file = OpenStreamFile(path, va_arg(arguments, int) != JNI_FALSE);
    if (stream->file == nullptr) Throw("java/io/FileNotFoundException", path);
    return stream->file != nullptr ? reinterpret_cast<jobject>(stream) : nullptr;
  } else if (named("java/io/PrintStream.")) {
    Object* stream = New("java/io/PrintStream");
    stream->file = O(va_arg(arguments, jobject))->file;
    return reinterpret_cast<jobject>(stream);
  } else if (named("java/lang/System.")) {
    (named("java/lang/System.setOut") ? systemOut : systemErr) = O(va_arg(arguments, jobject));
  } else if (named("sun/launcher/")) {  // LauncherHelper.checkAndLoadMain: the class named by the
                                        // third argument
    (void)va_arg(arguments, int);
    (void)va_arg(arguments, jint);
    std::string name = ToModifiedUtf8(O(va_arg(arguments, jobject))->text);
    for (char& c : name) c = c == '.' ? '/' : c;
    return reinterpret_cast<jobject>(ClassNamed(name));
  } else {
    Main(va_arg(arguments, jobject));
  }
  return nullptr;
}

void JNICALL Unexpected() {
  fputs("testjvm: unexpected JNI call\n", stderr);
  abort();
}

jclass JNICALL FindClass(JNIEnv*, const char* name) {
  if (name != Value("missing")) return reinterpret_cast<jclass>(ClassNamed(name));
  Throw("java/lang/NoClassDefFoundError", Wide(name));
  return nullptr;
}

jmethodID JNICALL GetMethodID(JNIEnv*, jclass type, const char* name, const char* signature) {
  const std::string& method = *new std::string(O(type)->className + "." + name + signature);
  const bool isMain = strcmp(name, "main") == 0 && strcmp(signature, "([Ljava/lang/String;)V") == 0;
  const std::string secondary = Value("secondary") == "void"  ? "V"
                                : Value("secondary") == "int" ? "I"
                                                              : "";
  bool known = (isMain && !Has("nomain")) ||
               (EndsWith(method, ".stop()V") && method.rfind("java/", 0) != 0 && !Has("nostop")) ||
               (strcmp(name, "secondaryMain") == 0 && !secondary.empty() &&
                signature == "([Ljava/lang/String;)" + secondary);
  for (const char* knownMethod : kKnownMethods) known |= method == knownMethod;
  if (known) return reinterpret_cast<jmethodID>(const_cast<std::string*>(&method));
  if (!isMain) Throw("java/lang/NoSuchMethodError", Wide(method));
  return nullptr;
}

jobject JNICALL CallObjectV(JNIEnv*, jclass, jmethodID method, va_list arguments) {
  return Run(method, arguments);
}
void JNICALL CallVoidV(JNIEnv*, jclass, jmethodID method, va_list arguments) {
  Run(method, arguments);
}

// "secondarythrows": the int secondaryMain ends with an exception instead of
// a result.
bool SecondaryMainThrows() {
  if (!Has("secondarythrows")) return false;
  Throw("java/lang/IllegalStateException", u"boom from secondaryMain");
  return true;
}

// The int form of secondaryMain: its first argument when that is a number, else 7.
jint JNICALL CallStaticIntMethodV(JNIEnv*, jclass, jmethodID, va_list arguments) {
  const std::vector<std::u16string> strings = SecondaryMain(va_arg(arguments, jobject));
  if (SecondaryMainThrows()) return 0;
  const std::string first = strings.empty() ? "" : ToModifiedUtf8(strings[0]);
  char* end = nullptr;
  const long number = strtol(first.c_str(), &end, 10);
  return !first.empty() && *end == '\0' ? static_cast<jint>(number) : 7;
}

jcharArray JNICALL NewCharArray(JNIEnv*, jsize length) {
  return reinterpret_cast<jcharArray>(
      New("[C", std::u16string(static_cast<size_t>(length), u'\0')));
}

void JNICALL SetCharArrayRegion(JNIEnv*, jcharArray array, jsize start, jsize length,
                                const jchar* units) {
  for (jsize i = 0; i < length; ++i) O(array)->text[static_cast<size_t>(start + i)] = units[i];
}

jobjectArray JNICALL NewObjectArray(JNIEnv*, jsize length, jclass, jobject initial) {
  Object* array = New("[Ljava/lang/Object;");
  array->elements.assign(static_cast<size_t>(length), O(initial));
  return reinterpret_cast<jobjectArray>(array);
}

void JNICALL SetObjectArrayElement(JNIEnv*, jobjectArray array, jsize index, jobject value) {
  O(array)->elements[static_cast<size_t>(index)] = O(value);
}

void JNICALL DeleteLocalRef(JNIEnv*, jobject) {}
jthrowable JNICALL ExceptionOccurred(JNIEnv*) { return reinterpret_cast<jthrowable>(pending); }
void JNICALL ExceptionClear(JNIEnv*) { pending = nullptr; }

void JNICALL ExceptionDescribe(JNIEnv*) {
  if (pending == nullptr) return;
  std::string name = pending->className;
  for (char& c : name) c = c == '/' ? '.' : c;
  Print(systemErr, stderr,
        "Exception in thread \"main\" " + name + ": " + ToModifiedUtf8(pending->text) + "\n");
  pending = nullptr;
}

const char* JNICALL GetStringUTFChars(JNIEnv*, jstring string, jboolean* isCopy) {
  if (isCopy != nullptr) *isCopy = JNI_TRUE;
  const std::string bytes = ToModifiedUtf8(O(string)->text);
  return static_cast<char*>(memcpy(malloc(bytes.size() + 1), bytes.c_str(), bytes.size() + 1));
}

void JNICALL ReleaseStringUTFChars(JNIEnv*, jstring, const char* characters) {
  free(const_cast<char*>(characters));
}

JNINativeInterface_ BuildTable() {
  JNINativeInterface_ table;
  for (void*& slot : reinterpret_cast<void*(&)[sizeof table / sizeof(void*)]>(table)) {
    slot = reinterpret_cast<void*>(&Unexpected);
  }
  table.FindClass = FindClass;
  table.GetMethodID = table.GetStaticMethodID = GetMethodID;
  table.NewObjectV = table.CallStaticObjectMethodV = CallObjectV;
  table.CallStaticVoidMethodV = CallVoidV;
  table.CallStaticIntMethodV = CallStaticIntMethodV;
  table.NewCharArray = NewCharArray;
  table.SetCharArrayRegion = SetCharArrayRegion;
  table.NewObjectArray = NewObjectArray;
  table.SetObjectArrayElement = SetObjectArrayElement;
  table.DeleteLocalRef = DeleteLocalRef;
  table.ExceptionOccurred = ExceptionOccurred;
  table.ExceptionClear = ExceptionClear;
  table.ExceptionDescribe = ExceptionDescribe;
  table.GetStringUTFChars = GetStringUTFChars;
  table.ReleaseStringUTFChars = ReleaseStringUTFChars;
  return table;
}

// "linger": main has returned, but a thread of the application runs on
// until stop() is called, and DestroyJavaVM waits for it as a real JVM
// waits for its non-daemon threads.
void WaitForStopWhenLingering() {
  if (!Has("linger")) return;
  std::unique_lock<std::mutex> lock(stopMutex);
  if (!stopCalled.wait_for(lock, std::chrono::seconds(60), [] { return stopped; })) {
    fputs("testjvm: DestroyJavaVM waited a minute for stop()\n", stderr);
  }
}

// "createwait": the creation takes until the test writes "testjvm.release",
// and "testjvm.creating" tells it that the creation has begun.
void WaitWhenCreating() {
  if (!Has("createwait")) return;
  if (FILE* creating = OpenBesideLibrary("testjvm.creating", "wb")) fclose(creating);
  for (int i = 0; i < 6000; ++i, std::this_thread::sleep_for(std::chrono::milliseconds(10))) {
    if (FILE* release = OpenBesideLibrary("testjvm.release", "rb")) {
      fclose(release);
      return;
    }
  }
}

jint JNICALL DestroyJavaVm(JavaVM*) {
  WaitForStopWhenLingering();
  // A real JVM waits until every other attached thread detaches, which never
  // happens once the thread that created it has ended without detaching.
  for (int i = 0; i < 1000 && attachedThreads > (threadAttached ? 1 : 0); ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  if (attachedThreads > (threadAttached ? 1 : 0)) {
    fputs("testjvm: DestroyJavaVM would wait for ever: a thread is still attached\n", stderr);
    abort();
  }
  attachedThreads = 0;
  threadAttached = false;
  return JNI_OK;
}

// An injected failure changes only the result: the thread is gone either way.
jint JNICALL DetachCurrentThread(JavaVM*) {
  if (threadAttached) --attachedThreads;
  threadAttached = false;
  if (attachedItself) Log("detach");
  attachedItself = false;
  return Number("detach");
}

jint JNICALL AttachCurrentThread(JavaVM*, void** env, void*) {
  if (!threadAttached) {
    ++attachedThreads;
    threadAttached = attachedItself = true;
    Log("attach");
  }
  *env = &environment;
  return JNI_OK;
}

const JNIInvokeInterface_ invokeInterface = {
    nullptr, nullptr, nullptr, DestroyJavaVm, AttachCurrentThread, DetachCurrentThread,
    nullptr, nullptr};

}  // namespace

std::string ToModifiedUtf8(const std::u16string& text) {
  std::string bytes;
  for (char16_t c : text) {
    if (c != 0 && c < 0x80) {
      bytes.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
      bytes += {static_cast<char>(0xC0 | (c >> 6)), static_cast<char>(0x80 | (c & 0x3F))};
    } else {
      bytes += {static_cast<char>(0xE0 | (c >> 12)), static_cast<char>(0x80 | ((c >> 6) & 0x3F)),
                static_cast<char>(0x80 | (c & 0x3F))};
    }
  }
  return bytes;
}

jint CreateVm(JavaVM** vm, void** env, void* initArguments) {
  static const JNINativeInterface_ table = BuildTable();
  LoadControl();
  exitHook = nullptr;
  stopped = false;
  const JavaVMInitArgs* arguments = static_cast<const JavaVMInitArgs*>(initArguments);
  for (jint i = 0; i < arguments->nOptions; ++i) {
    const JavaVMOption& option = arguments->options[i];
    Log((option.extraInfo == nullptr ? "option " : "hook ") + std::string(option.optionString));
    if (option.extraInfo != nullptr && strcmp(option.optionString, "exit") == 0) {
      exitHook = reinterpret_cast<void(JNICALL*)(jint)>(option.extraInfo);
    }
  }
  *vm = nullptr;
  *env = nullptr;
  WaitWhenCreating();
  if (Number("create") != 0) return Number("create");
  attachedThreads = 1;
  threadAttached = true;
  environment.functions = &table;
  javaVm.functions = &invokeInterface;
  *vm = &javaVm;
  *env = &environment;
  return JNI_OK;
}

// Fills the head of a JDK 1.1 block with a default Java stack size of 1 MiB.
jint DefaultInitArgs(void* initArguments) {
  Log("default-init-args");
  struct Head {
    jint version;
    char** properties;
    jint checkSource;
    jint nativeStackSize;
    jint javaStackSize;
  };
  Head* head = static_cast<Head*>(initArguments);
  if (head->version != JNI_VERSION_1_1) return JNI_EVERSION;
  head->javaStackSize = 1024 * 1024;
  return JNI_OK;
}

// Only the JDK's own classes come from the boot loader.
jclass FindBootClass(const char* name) {
  if (strncmp(name, "java/", 5) != 0 && strncmp(name, "sun/", 4) != 0) return nullptr;
  return reinterpret_cast<jclass>(ClassNamed(name));
}

}  // namespace testjvm
