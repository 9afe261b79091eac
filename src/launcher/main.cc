// Entry point of the launcher: the process context, then one Launcher for
// the life of the process, driven through Initialize and Run (or the service
// dispatcher).
#include <optional>

#include "base/trace.h"
#include "config/command_line.h"
#include "launcher/launcher.h"
#include "launcher/process_setup.h"
#include "modes/service_host.h"

int main(int argc, char** argv) {
  javelin::PrepareStandardHandles();
  javelin::RecordProcessArguments(argc, argv);
  int exitCode = -1;
  {
    // Declared first so that it outlives the launcher's teardown, during
    // which the JVM's hooks and the stop threads may still reach it.
    std::optional<javelin::ServiceHost> serviceHost;
    javelin::Launcher launcher(javelin::ReadProcessContext());
    javelin::SetThreadLocaleToSystemDefault();
    if (!launcher.Initialize()) {
      exitCode = -1;
    } else if (launcher.settings().serviceMode) {
      serviceHost.emplace(launcher.AsServiceApplication());
      launcher.OnMainStarting([&serviceHost] { serviceHost->OnMainStarting(); });
      exitCode = serviceHost->RunAsService();
    } else {
      exitCode = launcher.Run();
    }
  }
  javelin::Trace(u"exit code " + javelin::ToDecimal(exitCode));
  return exitCode;
}
