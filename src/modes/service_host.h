// Running the application as a service: under the Service Control Manager on
// Windows, as a foreground service for systemd and similar supervisors on
// POSIX. The host knows the application only through ServiceApplication.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "base/text.h"
#include "jvm/jni_api.h"
#include "modes/stop_application.h"

namespace javelin {

// What the service host needs of the application.
struct ServiceApplication {
  // Runs the application with the start arguments appended after the
  // command-line arguments (and before the "Cmd" arguments); creates the JVM
  // on its own thread and destroys it as soon as main returns. Returns the
  // run's result (0, or -1 after a failure).
  std::function<int(const TextList& startArguments)> run;
  // Attaches the calling thread to the application's JVM (null while none
  // exists).
  AttachToJvm attach;
  // The launcher's own path; a service cannot run without it.
  std::u16string modulePath;
  std::u16string mainClass;  // slash form
  // "VM Provider" "ibm" or "favor_ibm": a stop thread never detaches.
  bool neverDetach = false;
  // "Omit Service Name" is non-empty: the first start argument (the
  // service's name) is not passed on.
  bool omitServiceName = false;
};

// The arguments a service start adds to the application's arguments: the
// service's name first unless it is omitted, then the rest in order.
TextList ServiceStartArguments(const TextList& startArguments, bool omitServiceName);

class ServiceHost : public VmExitListener {
 public:
  explicit ServiceHost(ServiceApplication application);
  ~ServiceHost() override;
  ServiceHost(const ServiceHost&) = delete;
  ServiceHost& operator=(const ServiceHost&) = delete;

  // Becomes the JVM's exit listener and runs the service until it has
  // stopped; returns the process exit code.
  // Windows: 0 when the dispatcher ran the service, otherwise its Windows
  // error (1063 when started from a console), without a message. POSIX: the
  // run's result. -1 when the launcher's own path cannot be obtained.
  int RunAsService();

  // The application's main is about to run (the JVM exists). POSIX: from
  // now on SIGTERM and SIGINT are stop requests, and the supervisor hears
  // READY=1. Windows: a stop request that came before the JVM existed is
  // acted on now.
  void OnMainStarting();

  // The JVM's exit hook: with code 0 the service is reported stopped
  // (Windows). The abort hook does nothing.
  void OnVmExit(int32_t code) override;
  void OnVmAbort() override;

 private:
  struct PlatformState;  // defined per platform

  // Runs the application with the service's start arguments.
  int RunServiceApplication(const TextList& startArguments);
  // The body of every stop thread.
  StopOutcome StopOnThisThread();

  ServiceApplication application_;
  std::unique_ptr<PlatformState> state_;
};

}  // namespace javelin
