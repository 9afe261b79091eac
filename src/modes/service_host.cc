#include "modes/service_host.h"

#include "base/module_path.h"
#include "launcher/launcher.h"

namespace javelin {

ServiceHost::ServiceHost(Launcher& launcher) : launcher_(launcher) {}
ServiceHost::~ServiceHost() = default;

// The service dispatcher is not available yet: a service start fails after
// the launcher has determined its own path and registered as listener.
int ServiceHost::RunAsService() {
  if (!GetModulePath(modulePath_)) return -1;
  launcher_.vmExitListener = this;
  return -1;
}

void ServiceHost::OnVmExit(int32_t) {}
void ServiceHost::OnVmAbort() {}

}  // namespace javelin
