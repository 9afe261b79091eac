#include "modes/service_host.h"

#include <utility>

#include "base/trace.h"
#include "modes/stop_application.h"

namespace javelin {

TextList ServiceStartArguments(const TextList& startArguments, bool omitServiceName) {
  if (startArguments.empty()) return {};
  return TextList(startArguments.begin() + (omitServiceName ? 1 : 0), startArguments.end());
}

int ServiceHost::RunServiceApplication(const TextList& startArguments) {
  return application_.run(ServiceStartArguments(startArguments, application_.omitServiceName));
}

StopOutcome ServiceHost::StopOnThisThread() {
  const StopOutcome outcome =
      StopApplication(application_.attach, application_.mainClass, application_.neverDetach);
  if (outcome == StopOutcome::kNoJvm) Trace(u"stop request: no JVM to ask");
  return outcome;
}

}  // namespace javelin
