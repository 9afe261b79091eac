#include "jvm/launch_plan.h"

#include "base/error_reporter.h"
#include "base/file_system.h"
#include "base/message_table.h"
#include "base/trace.h"
#include "config/command_line.h"
#include "jvm/class_path.h"
#include "jvm/jvm_environment.h"

namespace javelin {

namespace {

const char16_t kClassPathOption[] = u"-Djava.class.path=";

std::u16string ExpandedUnlessEmpty(const std::u16string& value) {
  return value.empty() ? value : ExpandEnvironment(value);
}

}  // namespace

LaunchPlan BuildLaunchPlan(const RunOptions& run, const ProcessContext& context, TextList arguments,
                           const std::u16string& libraryPathOption,
                           const std::optional<StartupCacheTarget>& cache,
                           MemoryFigures (*readFigures)()) {
  LaunchPlan plan;
  plan.arguments = std::move(arguments);
  if (!libraryPathOption.empty()) {
    Trace(u"JVM option " + Quoted(libraryPathOption));
    plan.options.push_back(ToJvmNarrow(libraryPathOption));
  }

  std::u16string classPath = BuildClassPath(run.classPath, context.moduleDirectory);
  if (run.embeddedJar && !context.modulePath.empty()) {
    classPath = classPath.empty() ? context.modulePath
                                  : context.modulePath + kSearchPathSeparator + classPath;
  }
  if (classPath.empty()) {
    ReportMessage(LoadMessage(kMsgNoClassPath));
    return plan;
  }

  TextList options{kClassPathOption + classPath};
  if (!run.vmParameters.empty()) {
    VmParameters parameters = SplitVmParameters(run.vmParameters, readFigures);
    for (std::u16string& option : parameters.options) options.push_back(std::move(option));
    plan.threadStackSize = parameters.threadStackSize;
  }
  // The class path is expanded a second time here, like every option.
  for (std::u16string& option : options) option = ExpandEnvironment(option);
  if (run.startupCache && cache) {
    StartupCacheInput input;
    input.featureVersion = cache->featureVersion;
    input.cacheFolder = cache->folder;
    input.jvmLibraryPath = cache->jvmLibraryPath;
    input.javaHome = JavaHomeOfLibrary(cache->jvmLibraryPath);
    input.classPath = options.front().substr(std::char_traits<char16_t>::length(kClassPathOption));
    input.vmParameters.assign(options.begin() + 1, options.end());
    plan.startupCache = PlanStartupCache(input);
    if (plan.startupCache.filterVmOutput) plan.vmOutputFilter = VmOutputFilterHook();
    options.insert(options.end(), plan.startupCache.options.begin(),
                   plan.startupCache.options.end());
  }
  if (!plan.startupCache.decision.empty()) Trace(plan.startupCache.decision);
  for (const std::u16string& option : options) {
    Trace(u"JVM option " + Quoted(option));
    plan.options.push_back(ToJvmNarrow(option));
  }

  plan.outputFile = ExpandedUnlessEmpty(run.outputFile);
  plan.outputAppend = run.outputAppend;
  plan.errorFile = ExpandedUnlessEmpty(run.errorFile);
  plan.errorAppend = run.errorAppend;

  if (!run.cmd.empty()) {
    TextList tokens;
    SplitArguments(ExpandEnvironment(run.cmd), tokens);
    // An empty quoted token is dropped here, unlike on the command line.
    for (std::u16string& token : tokens) {
      if (!token.empty()) plan.arguments.push_back(std::move(token));
    }
  }
  return plan;
}

}  // namespace javelin
