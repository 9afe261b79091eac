// Running the application as a service.
#pragma once

#include <functional>
#include <string>

#include "base/text.h"
#include "jvm/jni_api.h"

namespace javelin {

// What the service host needs of the application.
struct ServiceApplication {
  // The run with the service's start arguments; returns its exit code.
  std::function<int(const TextList& startArguments)> run;
  std::function<JavaVM*()> vm;  // null while the JVM does not exist
  std::u16string mainClass;     // slash form
  bool neverDetach = false;     // "VM Provider" "ibm" / "favor_ibm"
  bool omitServiceName = false;
};

class ServiceHost : public VmExitListener {
 public:
  explicit ServiceHost(ServiceApplication application);
  ~ServiceHost() override;

  // Becomes the JVM's exit listener and runs the service dispatcher; returns
  // the process exit code.
  int RunAsService();

  void OnVmExit(int32_t code) override;
  void OnVmAbort() override;

 private:
  ServiceApplication application_;
};

}  // namespace javelin
