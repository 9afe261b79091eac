#include "secondary_main.h"

#include <chrono>
#include <cstdlib>
#include <thread>

namespace testjvm {

namespace {

std::string secondaryKind;  // "", "void" or "int"
bool waitForRelease = false;
bool exitAfterMain = false;
int exitCode = 0;
void(JNICALL* exitHook)(jint) = nullptr;

std::string Describe(const std::vector<std::u16string>& arguments) {
  std::string text = "secondaryMain argc=" + std::to_string(arguments.size());
  for (const std::u16string& argument : arguments) {
    text += " arg=";
    for (size_t i = 0; i < argument.size(); ++i) {
      char digits[8];
      snprintf(digits, sizeof digits, i == 0 ? "%04X" : " %04X", static_cast<unsigned>(argument[i]));
      text += digits;
    }
  }
  return text;
}

bool Exists(const char* name) {
  FILE* file = OpenBesideLibrary(name, "rb");
  if (file != nullptr) fclose(file);
  return file != nullptr;
}

}  // namespace

bool ReadSecondaryControl(const std::string& key, const std::string& value) {
  if (key == "secondary") {
    secondaryKind = value;
  } else if (key == "wait") {
    waitForRelease = true;
  } else if (key == "exit") {
    exitAfterMain = true;
    exitCode = atoi(value.c_str());
  } else {
    return false;
  }
  return true;
}

bool HasSecondaryMain(const std::string& name, const std::string& signature) {
  if (name != "secondaryMain") return false;
  return (secondaryKind == "void" && signature == "([Ljava/lang/String;)V") ||
         (secondaryKind == "int" && signature == "([Ljava/lang/String;)I");
}

void RunVoidSecondaryMain(const std::vector<std::u16string>& arguments) { Log(Describe(arguments)); }

jint JNICALL CallStaticIntMethodV(JNIEnv*, jclass, jmethodID, va_list arguments) {
  const std::vector<std::u16string> strings = StringsOf(va_arg(arguments, jobject));
  Log(Describe(strings));
  if (!strings.empty() && !strings[0].empty()) {
    const std::string first(strings[0].begin(), strings[0].end());
    char* end = nullptr;
    const long number = strtol(first.c_str(), &end, 10);
    if (*end == '\0') return static_cast<jint>(number);
  }
  return 7;
}

void AfterMain() {
  if (waitForRelease) {
    FILE* ready = OpenBesideLibrary("testjvm.ready", "wb");
    if (ready != nullptr) fclose(ready);
    for (int i = 0; i < 12000 && !Exists("testjvm.release"); ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
  }
  if (!exitAfterMain) return;
  if (exitHook != nullptr) exitHook(exitCode);
  exit(exitCode);
}

void SetExitHook(void* hook) { exitHook = reinterpret_cast<void(JNICALL*)(jint)>(hook); }

}  // namespace testjvm
