// Entry point of the launcher: one Launcher for the life of the process,
// driven through Initialize and Run (or the service dispatcher).
#include "config/command_line.h"
#include "launcher/launcher.h"
#include "launcher/process_setup.h"
#include "modes/service_host.h"

int main(int argc, char** argv) {
  javelin::RecordProcessArguments(argc, argv);
  int exitCode = -1;
  {
    javelin::Launcher launcher;
    javelin::ServiceHost serviceHost(launcher);
    javelin::SetThreadLocaleToSystemDefault();
    if (!launcher.Initialize()) {
      exitCode = -1;
    } else if (launcher.serviceMode) {
      exitCode = serviceHost.RunAsService();
    } else {
      exitCode = launcher.Run();
    }
  }
  return exitCode;
}
