// Single-instance mode: one running instance per executable. The first
// start runs the application; every further start hands its command-line
// arguments to the first instance's secondaryMain and ends with the code
// that comes back, or with the first instance's exit code.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "base/text.h"
#include "jvm/jni_api.h"
#include "modes/secondary_main.h"

namespace javelin {

// Owns the objects of single-instance mode; its destruction is the mode's
// teardown (stopping the listener, releasing the shared objects). As the
// JVM's exit listener it learns the code of a System.exit call.
class InstanceGuard : public VmExitListener {
 public:
  enum class Role { kOff, kFirst, kSecond };

  // Fixes this process's role for the executable at `modulePath`. Called
  // only when "Single Instance" is on, and never in service mode. Any
  // failure to set up a first instance switches the mode off silently
  // (kOff). A second instance has handed over `arguments` (the command-line
  // arguments only) when this returns; null when they do not fit into the
  // argument block or cannot be handed over: the process then ends with -1
  // without a message.
  static std::unique_ptr<InstanceGuard> SetupSingleInstance(const std::u16string& modulePath,
                                                            const TextList& arguments,
                                                            const SecondaryMainTarget& target);

  // ReleaseSingleInstance.
  ~InstanceGuard() override;
  InstanceGuard(const InstanceGuard&) = delete;
  InstanceGuard& operator=(const InstanceGuard&) = delete;

  Role role() const { return role_; }

  // First instance, on the JVM thread just before main runs: forwarded
  // calls wait for this signal and then run on `vm`.
  void SignalMainStartedEvent(JavaVM* vm);

  // Second instance: its whole run. The first instance's reply, or its exit
  // code when it ends without replying.
  int WaitForFirstInstance();

  // First instance: the exit code the process is going to end with, when
  // the launch itself returns (it stays -1 when nothing sets it).
  void SetExitCode(int code);

  void OnVmExit(int32_t code) override;
  void OnVmAbort() override {}

 private:
  struct Impl;  // the platform's objects
  InstanceGuard();
  // A guard with the mode off.
  static std::unique_ptr<InstanceGuard> Off();
  // First instance: stops the listener. Then the shared objects go.
  void ReleaseSingleInstance();

  Role role_ = Role::kOff;
  std::unique_ptr<Impl> impl_;
};

}  // namespace javelin
