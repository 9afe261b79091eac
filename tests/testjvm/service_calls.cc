// The Java side of a service in the test JVM: a main that runs until its
// static stop() is called, and System.exit through the JVM's exit hook.
// Every call is recorded in the log ("call stop", "call System.exit N").
//
// Control lines (in "testjvm.control"):
//   service   main runs until stop() is called (or System.exit ends it)
//   nostop    the main class has no static stop()
//   sysexit=N main calls System.exit(N) itself once it has printed
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <mutex>

#include "test_jvm.h"

namespace testjvm {

namespace {

struct ServiceControl {
  bool service = false;
  bool noStop = false;
  bool exits = false;
  int exitCode = 0;
};

ServiceControl serviceControl;
void(JNICALL* exitHook)(jint) = nullptr;
std::mutex stopMutex;
std::condition_variable stopCalled;
bool stopped = false;

bool EndsWith(const std::string& text, const char* end) {
  const size_t length = strlen(end);
  return text.size() >= length && text.compare(text.size() - length, length, end) == 0;
}

// As the JVM does: the exit hook first, then the process ends.
[[noreturn]] void SystemExit(int code) {
  Log("call System.exit " + std::to_string(code));
  if (exitHook != nullptr) exitHook(code);
  exit(code);
}

}  // namespace

void LoadServiceControl(const JavaVMInitArgs* arguments) {
  serviceControl = ServiceControl();
  exitHook = nullptr;
  stopped = false;
  for (jint i = 0; i < arguments->nOptions; ++i) {
    if (strcmp(arguments->options[i].optionString, "exit") == 0) {
      exitHook = reinterpret_cast<void(JNICALL*)(jint)>(arguments->options[i].extraInfo);
    }
  }
  FILE* file = OpenBesideLibrary("testjvm.control", "r");
  if (file == nullptr) return;
  char buffer[1024];
  while (fgets(buffer, sizeof buffer, file) != nullptr) {
    std::string line = buffer;
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
    if (line == "service") serviceControl.service = true;
    if (line == "nostop") serviceControl.noStop = true;
    if (line.rfind("sysexit=", 0) == 0) {
      serviceControl.exits = true;
      serviceControl.exitCode = atoi(line.c_str() + 8);
    }
  }
  fclose(file);
}

bool IsServiceMethod(const std::string& method) {
  if (method == "java/lang/System.exit(I)V") return true;
  return EndsWith(method, ".stop()V") && method.rfind("java/", 0) != 0 && !serviceControl.noStop;
}

bool RunServiceMethod(const std::string& method, va_list arguments) {
  if (method == "java/lang/System.exit(I)V") SystemExit(va_arg(arguments, jint));
  if (!EndsWith(method, ".stop()V")) return false;
  Log("call stop");
  std::lock_guard<std::mutex> lock(stopMutex);
  stopped = true;
  stopCalled.notify_all();
  return true;
}

void ServiceMainBody() {
  if (serviceControl.exits) SystemExit(serviceControl.exitCode);
  if (!serviceControl.service) return;
  std::unique_lock<std::mutex> lock(stopMutex);
  stopCalled.wait(lock, [] { return stopped; });
}

}  // namespace testjvm
