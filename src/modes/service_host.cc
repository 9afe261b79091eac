#include "modes/service_host.h"

#include <utility>

#include "modes/stop_application.h"

namespace javelin {

TextList ServiceStartArguments(const TextList& startArguments, bool omitServiceName) {
  if (startArguments.empty()) return {};
  return TextList(startArguments.begin() + (omitServiceName ? 1 : 0), startArguments.end());
}

int ServiceHost::RunServiceApplication(const TextList& startArguments) {
  return application_.run(ServiceStartArguments(startArguments, application_.omitServiceName));
}

void ServiceHost::StopOnThisThread() {
  StopApplication(application_.vm ? application_.vm() : nullptr, application_.mainClass,
                  application_.neverDetach);
}

}  // namespace javelin
