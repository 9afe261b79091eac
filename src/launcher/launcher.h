// The launch sequence: wires the values of the lower layers together in
// order, from the process context to the JVM, and owns what lives longer
// than one stage (the settings, the runtime choice, the single-instance
// objects, the JVM session).
#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <optional>

#include "base/process_context.h"
#include "config/settings.h"
#include "jre/jre_locator.h"
#include "jvm/java_vm_host.h"
#include "modes/service_host.h"
#include "modes/single_instance.h"

namespace javelin {

class Launcher {
 public:
  explicit Launcher(ProcessContext context);
  // Teardown: destroys a JVM that still exists (waiting for the
  // application's non-daemon threads), then releases the single-instance
  // objects (a waiting second instance learns the exit code only then).
  ~Launcher();
  Launcher(const Launcher&) = delete;
  Launcher& operator=(const Launcher&) = delete;

  // Settings, single-instance role, working directory and the Java runtime
  // search (with the user's choice as the last source). False when the
  // launch cannot go on.
  bool Initialize();
  // Hand-over to the pair launcher, waiting as a second instance, or the
  // normal launch with `startArguments` (a service's) after the command-line
  // arguments. Returns the process exit code.
  int Run(const TextList& startArguments = {});

  // After a successful Initialize.
  const Settings& settings() const { return *settings_; }
  // The application as the service host drives it.
  ServiceApplication AsServiceApplication();
  // Called on the JVM thread right before main, after the single-instance
  // signal (the service host's readiness).
  void OnMainStarting(std::function<void()> listener) { mainStarting_ = std::move(listener); }

 private:
  void RememberJrePath(const std::u16string& javaHome) const;
  // Attaches the calling thread to the JVM while one exists (a stop
  // request's thread); null when there is none.
  JavaVM* AttachToCurrentVm(JNIEnv** env) const;

  const ProcessContext context_;
  std::optional<Settings> settings_;
  std::optional<RuntimeChoice> runtime_;
  std::unique_ptr<InstanceGuard> instanceGuard_;
  std::unique_ptr<JvmSession> session_;
  // session_ for the threads of stop requests, which may come at any time.
  std::atomic<JvmSession*> liveSession_{nullptr};
  std::function<void()> mainStarting_;
};

}  // namespace javelin
