#include "modes/service_host.h"

#include "jvm/java_vm_host.h"

namespace javelin {

ServiceHost::ServiceHost(ServiceApplication application) : application_(std::move(application)) {}
ServiceHost::~ServiceHost() { SetVmExitListener(nullptr); }

// The service dispatcher is not available yet: a service start fails after
// the host has registered as listener.
int ServiceHost::RunAsService() {
  SetVmExitListener(this);
  return -1;
}

void ServiceHost::OnVmExit(int32_t) {}
void ServiceHost::OnVmAbort() {}

}  // namespace javelin
