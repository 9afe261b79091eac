// Single-instance mode: one running instance per executable; further starts
// forward their arguments to the first instance's secondaryMain.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "base/text.h"
#include "jvm/jni_api.h"

namespace javelin {

// Where a first instance delivers forwarded arguments.
struct SecondaryMainTarget {
  std::function<JavaVM*()> vm;  // null while the JVM does not exist
  std::u16string mainClass;     // slash form
  bool neverDetach = false;     // "VM Provider" "ibm" / "favor_ibm"
};

class SingleInstance {
 public:
  enum class Role { kOff, kFirst, kSecond };

  // Fixes this process's role for the executable at `modulePath`. Nothing
  // when the mode cannot be used (it is then off, silently). A second
  // instance has handed `arguments` over when this returns.
  static std::unique_ptr<SingleInstance> Setup(const std::u16string& modulePath,
                                               const TextList& arguments,
                                               SecondaryMainTarget target);
  ~SingleInstance();

  Role role() const;
  // First instance: main is about to run; forwarded calls may go ahead.
  void SignalMainStarted();
  // Second instance: waits for the first instance's reply; the exit code.
  int WaitForFirstInstance();

 private:
  SingleInstance() = default;
};

}  // namespace javelin
