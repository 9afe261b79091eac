#include "test_jvm.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <thread>

namespace testjvm {

namespace {

Control control;
std::atomic<int> attachedThreads{0};
thread_local bool threadAttached = false;
thread_local bool attachedItself = false;  // through AttachCurrentThread
JNIEnv_ environment;
JavaVM_ javaVm;
void(JNICALL* exitHook)(jint) = nullptr;
std::mutex stopMutex;
std::condition_variable stopCalled;
bool stopped = false;

void LoadControl() {
  control = Control();
  FILE* file = OpenBesideLibrary("testjvm.control", "r");
  if (file == nullptr) return;
  char buffer[1024];
  while (fgets(buffer, sizeof buffer, file) != nullptr) {
    std::string line = buffer;
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
    const size_t equals = line.find('=');
    const std::string key = line.substr(0, equals);
    const std::string value = equals == std::string::npos ? "" : line.substr(equals + 1);
    const int number = atoi(value.c_str());
    if (key == "create") control.create = number;
    if (key == "detach") control.detach = number;
    if (key == "missing") control.missingClass = value;
    if (key == "secondary") control.secondary = value;
    control.noMain |= key == "nomain";
    control.wait |= key == "wait";
    control.service |= key == "service";
    control.noStop |= key == "nostop";
    if (key == "exit") control.exitAfterMain = true, control.exitCode = number;
    if (key == "sysexit") control.sysExit = true, control.sysExitCode = number;
  }
  fclose(file);
}

bool EndsWith(const std::string& text, const std::string& end) {
  return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// As the JVM does: the exit hook first, then the process ends.
[[noreturn]] void SystemExit(int code, bool logged) {
  if (logged) Log("call System.exit " + std::to_string(code));
  if (exitHook != nullptr) exitHook(code);
  exit(code);
}

void LogSecondaryMain(const std::vector<std::u16string>& arguments) {
  std::string text = "secondaryMain argc=" + std::to_string(arguments.size());
  for (const std::u16string& argument : arguments) text += " arg=" + Hex(argument);
  Log(text);
}

bool Exists(const char* name) {
  FILE* file = OpenBesideLibrary(name, "rb");
  if (file != nullptr) fclose(file);
  return file != nullptr;
}

jint JNICALL DestroyJavaVm(JavaVM*) {
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
  return control.detach;
}

jint JNICALL AttachCurrentThread(JavaVM*, void** env, void*) {
  if (!threadAttached) {
    ++attachedThreads;
    threadAttached = true;
    attachedItself = true;
    Log("attach");
  }
  *env = &environment;
  return JNI_OK;
}

const JNIInvokeInterface_ invokeInterface = {
    nullptr, nullptr, nullptr, DestroyJavaVm, AttachCurrentThread, DetachCurrentThread, nullptr, nullptr};

}  // namespace

const Control& CurrentControl() { return control; }

// The file is opened for every line, so that nothing is lost when the
// process ends through exit() or abort().
void Log(const std::string& line) {
  FILE* file = OpenBesideLibrary("testjvm.log", "ab");
  if (file == nullptr) return;
  fprintf(file, "%s\n", line.c_str());
  fclose(file);
}

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
  if (control.create != 0) return control.create;
  attachedThreads = 1;
  threadAttached = true;
  environment.functions = NativeInterface();
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

std::string Hex(const std::u16string& units) {
  std::string text;
  for (char16_t unit : units) {
    char digits[8];
    snprintf(digits, sizeof digits, text.empty() ? "%04X" : " %04X", static_cast<unsigned>(unit));
    text += digits;
  }
  return text;
}

bool IsExtraMethod(const std::string& method, const char* name, const char* signature) {
  if (method == "java/lang/System.exit(I)V") return true;
  if (EndsWith(method, ".stop()V")) return method.rfind("java/", 0) != 0 && !control.noStop;
  return strcmp(name, "secondaryMain") == 0 &&
         ((control.secondary == "void" && strcmp(signature, "([Ljava/lang/String;)V") == 0) ||
          (control.secondary == "int" && strcmp(signature, "([Ljava/lang/String;)I") == 0));
}

bool RunExtraMethod(const std::string& method, va_list arguments) {
  if (method == "java/lang/System.exit(I)V") SystemExit(va_arg(arguments, jint), true);
  if (method.find(".secondaryMain(") != std::string::npos) {
    LogSecondaryMain(StringsOf(va_arg(arguments, jobject)));
    return true;
  }
  if (!EndsWith(method, ".stop()V")) return false;
  Log("call stop");
  std::lock_guard<std::mutex> lock(stopMutex);
  stopped = true;
  stopCalled.notify_all();
  return true;
}

jint JNICALL CallStaticIntMethodV(JNIEnv*, jclass, jmethodID, va_list arguments) {
  const std::vector<std::u16string> strings = StringsOf(va_arg(arguments, jobject));
  LogSecondaryMain(strings);
  if (!strings.empty() && !strings[0].empty()) {
    const std::string first(strings[0].begin(), strings[0].end());
    char* end = nullptr;
    const long number = strtol(first.c_str(), &end, 10);
    if (*end == '\0') return static_cast<jint>(number);
  }
  return 7;
}

void ServiceMainBody() {
  if (control.sysExit) SystemExit(control.sysExitCode, true);
  if (!control.service) return;
  std::unique_lock<std::mutex> lock(stopMutex);
  stopCalled.wait(lock, [] { return stopped; });
}

void AfterMain() {
  if (control.wait) {
    FILE* ready = OpenBesideLibrary("testjvm.ready", "wb");
    if (ready != nullptr) fclose(ready);
    for (int i = 0; i < 12000 && !Exists("testjvm.release"); ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
  }
  if (control.exitAfterMain) SystemExit(control.exitCode, false);
}

}  // namespace testjvm
