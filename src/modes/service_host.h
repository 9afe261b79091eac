// Running the application as a service.
#pragma once

#include <string>

#include "jvm/jni_api.h"

namespace javelin {

class Launcher;

class ServiceHost : public VmExitListener {
 public:
  explicit ServiceHost(Launcher& launcher);
  ~ServiceHost() override;

  // Determines the launcher's path, becomes the launcher's VmExitListener
  // and runs the service dispatcher; returns the process exit code.
  int RunAsService();

  void OnVmExit(int32_t code) override;
  void OnVmAbort() override;

 private:
  Launcher& launcher_;
  std::u16string modulePath_;
};

}  // namespace javelin
