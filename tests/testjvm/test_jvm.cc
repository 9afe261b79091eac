#include "test_jvm.h"

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <thread>

#include "secondary_main.h"

namespace testjvm {

namespace {

Control control;
std::atomic<int> attachedThreads{0};
thread_local bool threadAttached = false;
thread_local bool attachedItself = false;  // through AttachCurrentThread
JNIEnv_ environment;
JavaVM_ javaVm;

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
    if (key == "create") control.create = atoi(value.c_str());
    if (key == "detach") control.detach = atoi(value.c_str());
    if (key == "missing") control.missingClass = value;
    if (key == "nomain") control.noMain = true;
    ReadSecondaryControl(key, value);
  }
  fclose(file);
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
  LoadServiceControl(static_cast<const JavaVMInitArgs*>(initArguments));
  const JavaVMInitArgs* arguments = static_cast<const JavaVMInitArgs*>(initArguments);
  for (jint i = 0; i < arguments->nOptions; ++i) {
    const JavaVMOption& option = arguments->options[i];
    Log((option.extraInfo == nullptr ? "option " : "hook ") + std::string(option.optionString));
    if (option.extraInfo != nullptr && std::string(option.optionString) == "exit") SetExitHook(option.extraInfo);
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

}  // namespace testjvm
