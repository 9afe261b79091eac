// Entry point of the launcher: one Launcher for the life of the process,
// driven through Initialize and Run (or the service dispatcher).
#include <optional>

#include "config/command_line.h"
#include "launcher/launcher.h"
#include "launcher/process_setup.h"
#include "modes/service_host.h"

namespace {

// What the service host needs of the launcher.
javelin::ServiceApplication ServiceApplicationOf(javelin::Launcher& launcher) {
  javelin::ServiceApplication application;
  application.run = [&launcher](const javelin::TextList& startArguments) {
    // After the command-line arguments; Run appends the "Cmd" arguments.
    launcher.arguments.insert(launcher.arguments.end(), startArguments.begin(), startArguments.end());
    return launcher.Run();
  };
  application.vm = [&launcher] { return launcher.javaVm; };
  application.mainClass = launcher.mainClass;
  application.neverDetach = launcher.ibmAllowed && launcher.ibmPreferred;
  application.omitServiceName = launcher.omitServiceName;
  return application;
}

}  // namespace

int main(int argc, char** argv) {
  javelin::RecordProcessArguments(argc, argv);
  int exitCode = -1;
  {
    // Outlives the launcher: the JVM's hooks and stop threads may still
    // reach it during the launcher's teardown.
    std::optional<javelin::ServiceHost> serviceHost;
    javelin::Launcher launcher;
    javelin::SetThreadLocaleToSystemDefault();
    if (!launcher.Initialize()) {
      exitCode = -1;
    } else if (launcher.serviceMode) {
      serviceHost.emplace(ServiceApplicationOf(launcher));
      launcher.vmExitListener = &*serviceHost;
      launcher.mainStarting = [&serviceHost] { serviceHost->OnMainStarting(); };
      exitCode = serviceHost->RunAsService();
    } else {
      exitCode = launcher.Run();
    }
  }
  return exitCode;
}
