#include "launcher/launcher.h"

#include "base/file_system.h"
#include "base/message_table.h"
#include "base/module_path.h"
#include "config/command_line.h"
#include "config/ini_file.h"
#include "config/ini_paths.h"
#include "config/settings.h"
#include "jre/jre_locator.h"
#include "jre/jvm_library.h"
#include "jvm/java_vm_host.h"
#include "jvm/jvm_environment.h"
#include "jvm/jvm_options.h"
#include "jvm/main_class.h"
#include "launcher/jvm_thread.h"
#include "launcher/pair_process.h"
#include "ui/jre_not_found_dialog.h"

namespace javelin {

namespace {

Launcher* processLauncher = nullptr;

const char16_t kJreSection[] = u"Java Runtime Environment";
const char16_t kJrePathKey[] = u"JRE Path";

uint32_t JavaMainThreadProcedure(void* launcher) {
  return JavaMainThread(static_cast<Launcher*>(launcher));
}

// Remembers the Java home chosen by the user: in application mode in the
// per-user settings files, in service mode in the configuration files beside
// the executables. Write failures are ignored.
void RememberJrePath(Launcher& launcher, const std::u16string& javaHome) {
  std::u16string iniPath;
  if (!GetIniPath(iniPath)) return;
  if (!launcher.serviceMode) {
    std::u16string modulePath;
    if (GetModulePath(modulePath)) {
      IniFile(GetUserIniPath(launcher, modulePath, true))
          .WriteString(kJreSection, kJrePathKey, javaHome);
    }
    if (!launcher.pairProduct.empty()) {
      IniFile(GetUserIniPath(launcher, launcher.pairProduct, true))
          .WriteString(kJreSection, kJrePathKey, javaHome);
    }
    return;
  }
  IniFile(iniPath).WriteString(kJreSection, kJrePathKey, javaHome);
  std::u16string pairIniPath;
  if (!launcher.pairProduct.empty() && GetPairIniPath(launcher, pairIniPath)) {
    IniFile(pairIniPath).WriteString(kJreSection, kJrePathKey, javaHome);
  }
}

// "Single Instance" = "yes" outside service mode fixes this process's role.
// False when a second instance could not hand its arguments over.
bool SetupSingleInstanceMode(Launcher& launcher) {
  std::u16string iniPath;
  if (!GetIniPath(iniPath)) return false;
  if (launcher.serviceMode) return true;
  IniConfig config(iniPath);
  std::u16string modulePath;
  if (!ReadSingleInstance(config) || !GetModulePath(modulePath)) return true;
  // "ibm" and "favor_ibm" keep every thread attached to the JVM.
  const SecondaryMainTarget target{launcher.mainClass, !(launcher.ibmAllowed && launcher.ibmPreferred)};
  launcher.instanceGuard = InstanceGuard::SetupSingleInstance(modulePath, launcher.arguments, target);
  if (!launcher.instanceGuard) return false;
  // A System.exit of the application ends the process: the first instance
  // passes its code on to waiting second instances.
  if (launcher.instanceGuard->role() == InstanceGuard::Role::kFirst) {
    launcher.vmExitListener = launcher.instanceGuard.get();
  }
  return true;
}

bool IsSecondInstance(const Launcher& launcher) {
  return launcher.instanceGuard && launcher.instanceGuard->role() == InstanceGuard::Role::kSecond;
}

}  // namespace

Launcher::Launcher() { processLauncher = this; }

Launcher::~Launcher() {
  if (javaVm != nullptr) {
    // Waits for the application's remaining non-daemon threads.
    JavaVM* vm = javaVm;
    javaVm = nullptr;
    vm->DestroyJavaVM();
  }
  instanceGuard.reset();
}

Launcher* Launcher::Current() { return processLauncher; }

bool Launcher::Initialize() {
  ReadCommandLine(*this);
  if (!ReadSettings(*this)) return false;
  if (!SetupSingleInstanceMode(*this)) return false;
  // A second instance has already handed its arguments over.
  if (IsSecondInstance(*this)) return true;

  std::u16string launcherDirectory;
  if (overrideWorkingDir && GetModuleDirectory(launcherDirectory)) {
    SetCurrentDirectoryPath(launcherDirectory);
  }

  if (FindJre(*this)) return true;

  const int messageId = jvmType == kJvmTypeServer ? kMsgJreNotFoundServer : kMsgJreNotFound;
  const std::u16string requirement = BuildVersionRequirementText(minimumVersion, maximumVersion);
  const std::u16string message = FormatMessageText(LoadMessage(messageId), {requirement});
  std::u16string javaHome;
  if (!ShowJreNotFoundDialog(*this, message, javaHome)) return false;
  CheckJvmMachine(*this);
  RememberJrePath(*this, javaHome);
  return true;
}

int Launcher::Run() {
  if (handOverToPair) return StartPairProcess(pairProduct, pairReturnCode);
  if (IsSecondInstance(*this)) return instanceGuard->WaitForFirstInstance();

  PrepareJvmEnvironment(*this);
  if (!LoadJvmLibrary(*this)) return -1;
  // A failed assembly (no class path) has been reported; the launch goes on
  // with the options gathered so far.
  AssembleJvmOptions(*this);
  if (threadStackSize == 0) threadStackSize = DefaultThreadStackSize(*this);

  uint32_t threadResult = 1;
  if (!RunOnNewThread(threadStackSize, JavaMainThreadProcedure, this, threadResult)) {
    threadResult = JavaMainThread(this);
  }
  const int exitCode = threadResult == 0 ? 0 : -1;
  if (instanceGuard) instanceGuard->SetExitCode(exitCode);
  return exitCode;
}

}  // namespace javelin
