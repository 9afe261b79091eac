#include "launcher/launcher.h"

#include "base/error_reporter.h"
#include "base/file_system.h"
#include "base/message_table.h"
#include "base/trace.h"
#include "config/ini_file.h"
#include "config/ini_paths.h"
#include "jvm/jvm_environment.h"
#include "jvm/launch_plan.h"
#include "jvm/main_class.h"
#include "launcher/jvm_thread.h"
#include "launcher/pair_process.h"
#include "ui/jre_not_found_dialog.h"

// The version this launcher was built as, for the trace.
#define JAVELIN_WIDEN2(text) u##text
#define JAVELIN_WIDEN(text) JAVELIN_WIDEN2(text)
#define JAVELIN_VERSION_TEXT JAVELIN_WIDEN(JAVELIN_VERSION)

namespace javelin {

namespace {

const char16_t kJrePathKey[] = u"JRE Path";

// What the JVM thread works with.
struct JvmThreadWork {
  JvmSession* session;
  const LaunchPlan* plan;
  const MainInvocation* invocation;
};

uint32_t JvmThreadProcedure(void* data) {
  const JvmThreadWork* work = static_cast<const JvmThreadWork*>(data);
  return JavaMainThread(*work->session, *work->plan, *work->invocation);
}

}  // namespace

Launcher::Launcher(ProcessContext context) : context_(std::move(context)) {}

Launcher::~Launcher() {
  // The JVM goes first: the single-instance workers may still be using it.
  liveSession_.store(nullptr);
  session_.reset();
  if (instanceGuard_ && instanceGuard_->role() == InstanceGuard::Role::kFirst)
    SetVmExitListener(nullptr);
  instanceGuard_.reset();
}

JavaVM* Launcher::AttachToCurrentVm(JNIEnv** env) const {
  JvmSession* session = liveSession_.load();
  if (session != nullptr) return session->AttachCurrentThread(env);
  *env = nullptr;
  return nullptr;
}

bool Launcher::Initialize() {
  const DiskIniSource disk;
  if (TraceEnabled()) {
    Trace(u"Javelin " JAVELIN_VERSION_TEXT);
    Trace(u"launcher " + Quoted(context_.modulePath));
    Trace(u"configuration file " + Quoted(context_.iniPath) +
          (disk.FileExists(context_.iniPath) ? u" found" : u" not found"));
  }
  Result<Settings> read = ReadSettings(disk, context_);
  if (!read) {
    ReportFailure(read.failure());
    return false;
  }
  settings_ = std::move(*read);
  const Settings& settings = *settings_;

  if (settings.singleInstance && !settings.serviceMode) {
    instanceGuard_ = InstanceGuard::SetupSingleInstance(
        context_.modulePath, context_.arguments,
        SecondaryMainTarget{settings.mainClass, !settings.NeverDetach()});
    // The arguments did not fit or could not be handed over.
    if (!instanceGuard_) return false;
    static const char16_t* const kRoles[] = {u"off (its objects could not be made)",
                                             u"the first start", u"a second start"};
    Trace(u"single instance: " + std::u16string(kRoles[static_cast<int>(instanceGuard_->role())]));
    // A second instance has already handed its arguments over.
    if (instanceGuard_->role() == InstanceGuard::Role::kSecond) return true;
    // A first instance learns the code of System.exit.
    if (instanceGuard_->role() == InstanceGuard::Role::kFirst)
      SetVmExitListener(instanceGuard_.get());
  }

  if (settings.overrideWorkingDir && !context_.moduleDirectory.empty()) {
    SetCurrentDirectoryPath(context_.moduleDirectory);
  }

  runtime_ = FindJre(settings.runtime, DefaultRuntimeSources(context_.modulePath));
  if (runtime_) {
    Trace(u"JVM library " + Quoted(runtime_->jvmLibraryPath) +
          (runtime_->handOverToPair
               ? u", handed over to the pair launcher " + Quoted(settings.pairProduct())
               : u""));
    return true;
  }
  Trace(u"no runtime found: asking the user");

  const int messageId =
      settings.runtime.jvmType == kJvmTypeServer ? kMsgJreNotFoundServer : kMsgJreNotFound;
  JreDialogRequest request;
  request.message = FormatMessageText(
      LoadMessage(messageId), {BuildVersionRequirementText(settings.runtime.minimumVersion,
                                                           settings.runtime.maximumVersion)});
  request.jvmType = settings.runtime.jvmType;
  request.downloadUrl = settings.downloadUrl;
  const std::optional<JreDialogChoice> choice = ShowJreNotFoundDialog(request);
  if (!choice) return false;
  runtime_ = RuntimeChoice{choice->jvmLibraryPath, VersionNumber{},
                           CheckJvmMachine(choice->jvmLibraryPath, settings.pairProduct())};
  Trace(u"JVM library chosen by the user " + Quoted(runtime_->jvmLibraryPath));
  RememberJrePath(choice->javaHome);
  return true;
}

// Remembers the Java home chosen by the user: in application mode in the
// per-user settings files, in service mode in the configuration files beside
// the executables. Write failures are ignored.
void Launcher::RememberJrePath(const std::u16string& javaHome) const {
  const Settings& settings = *settings_;
  if (context_.iniPath.empty()) return;
  const auto remember = [&javaHome](const std::u16string& iniPath) {
    IniFile(iniPath).WriteString(kJreSection, kJrePathKey, javaHome);
  };
  const std::u16string& pairProduct = settings.pairProduct();
  if (!settings.serviceMode) {
    for (const std::u16string* program : {&context_.modulePath, &pairProduct}) {
      if (!program->empty())
        remember(GetUserIniPath(settings.productName, settings.productCode, *program, true));
    }
    return;
  }
  remember(context_.iniPath);
  std::u16string pairIniPath;
  if (!pairProduct.empty() && IniPathForExecutable(pairProduct, pairIniPath)) remember(pairIniPath);
}

int Launcher::Run(const TextList& startArguments) {
  const Settings& settings = *settings_;
  if (runtime_ && runtime_->handOverToPair) {
    return StartPairProcess(settings.pairProduct(), settings.pairReturnCode);
  }
  if (instanceGuard_ && instanceGuard_->role() == InstanceGuard::Role::kSecond) {
    return instanceGuard_->WaitForFirstInstance();
  }

  const std::u16string& library = runtime_->jvmLibraryPath;
  const std::u16string libraryPathOption =
      PrepareJvmEnvironment(library, settings.run, context_.modulePath);
  const Result<JvmEntryPoints> entryPoints = LoadJvmLibrary(library);
  if (!entryPoints) {
    ReportFailure(entryPoints.failure());
    return -1;
  }
  session_ = std::make_unique<JvmSession>(*entryPoints);
  liveSession_.store(session_.get());

  TextList arguments = context_.arguments;
  arguments.insert(arguments.end(), startArguments.begin(), startArguments.end());
  // A failed assembly (no class path) has been reported; the launch goes on
  // with the options gathered so far.
  std::optional<StartupCacheTarget> cache;
  if (settings.run.startupCache) {
    int featureVersion = FeatureVersion(runtime_->version);
    if (featureVersion == 0) featureVersion = ReadRuntimeFeatureVersion(JavaHomeOfLibrary(library));
    cache = StartupCacheTarget{StartupCacheFolder(settings.productName, settings.productCode),
                               library, featureVersion};
  }
  const LaunchPlan plan =
      BuildLaunchPlan(settings.run, context_, std::move(arguments), libraryPathOption, cache);
  // The cache file is complete once the JVM has ended, whether main returns
  // or the application calls System.exit.
  if (cache) FinishStartupCacheAtExit(plan.startupCache);
  const uint32_t stackSize =
      plan.threadStackSize != 0 ? plan.threadStackSize : session_->DefaultThreadStackSize();
  if (TraceEnabled()) {
    Trace(u"main class " + Quoted(settings.mainClass));
    for (const std::u16string& argument : plan.arguments) Trace(u"argument " + Quoted(argument));
    Trace(u"thread stack size " + ToDecimal(stackSize));
  }

  MainInvocation invocation;
  invocation.mainClass = settings.mainClass;
  invocation.failureCheck = settings.failureCheck;
  invocation.neverDetach = settings.NeverDetach();
  invocation.destroyAfterMain = settings.serviceMode;
  InstanceGuard* firstInstance =
      instanceGuard_ && instanceGuard_->role() == InstanceGuard::Role::kFirst ? instanceGuard_.get()
                                                                              : nullptr;
  JvmSession* session = session_.get();
  invocation.onMainStarting = [firstInstance, session, this] {
    if (firstInstance != nullptr) firstInstance->SignalMainStartedEvent(session->vm());
    if (mainStarting_) mainStarting_();
  };

  JvmThreadWork work{session_.get(), &plan, &invocation};
  uint32_t threadResult = 1;
  if (!RunOnNewThread(stackSize, JvmThreadProcedure, &work, threadResult)) {
    threadResult = JvmThreadProcedure(&work);
  }
  const int exitCode = threadResult == 0 ? 0 : -1;
  if (firstInstance != nullptr) firstInstance->SetExitCode(exitCode);
  return exitCode;
}

ServiceApplication Launcher::AsServiceApplication() {
  ServiceApplication application;
  application.run = [this](const TextList& startArguments) { return Run(startArguments); };
  application.attach = [this](JNIEnv** env) { return AttachToCurrentVm(env); };
  application.modulePath = context_.modulePath;
  application.mainClass = settings_->mainClass;
  application.neverDetach = settings_->NeverDetach();
  application.omitServiceName = settings_->omitServiceName;
  return application;
}

}  // namespace javelin
