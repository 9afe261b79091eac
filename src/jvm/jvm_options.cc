#include "jvm/jvm_options.h"

#include "base/error_reporter.h"
#include "base/file_system.h"
#include "base/message_table.h"
#include "base/module_path.h"
#include "base/text.h"
#include "config/command_line.h"
#include "config/ini_file.h"
#include "config/ini_paths.h"
#include "config/settings.h"
#include "jvm/jvm_environment.h"
#include "jvm/startup_cache.h"
#include "jvm/vm_parameters.h"
#include "launcher/launcher.h"

namespace javelin {

namespace {

const char16_t kClassPathOption[] = u"-Djava.class.path=";

bool IsTakenAsWritten(const std::u16string& entry) {
  return IsAbsolutePath(entry) && entry.find(u'*') == std::u16string::npos;
}

template <typename Resolve>
std::u16string BuildClassPathWith(const std::u16string& value, Resolve resolve) {
  TextList entries;
  SplitText(value, u";", entries);
  std::u16string classPath;
  for (const std::u16string& written : entries) {
    const std::u16string entry = ExpandEnvironment(written);
    if (IsTakenAsWritten(entry)) {
      classPath += entry + kSearchPathSeparator;
    } else {
      resolve(entry, classPath);
    }
  }
  return classPath;
}

std::u16string ExpandedUnlessEmpty(const std::u16string& value) {
  return value.empty() ? value : ExpandEnvironment(value);
}

}  // namespace

void ResolveClassPathEntry(const std::u16string& entry, const std::u16string& launcherDirectory,
                           std::u16string& classPath) {
  std::u16string pattern;
  std::u16string directory;
  const size_t lastSeparator = entry.rfind(kPathSeparator);
  if (!IsAbsolutePath(entry)) {
    pattern = launcherDirectory + kPathSeparator + entry;
    directory = launcherDirectory;
    if (lastSeparator != std::u16string::npos && lastSeparator > 0) {
      directory += kPathSeparator + entry.substr(0, lastSeparator);
    }
  } else {
    pattern = entry;
    if (lastSeparator != std::u16string::npos) directory = entry.substr(0, lastSeparator);
  }
  // Every name the search returns counts, folders and "." and ".." included.
  FileFinder finder;
  for (bool found = finder.FindFile(pattern); found; found = finder.FindNext()) {
    classPath += directory + kPathSeparator + finder.FileName() + kSearchPathSeparator;
  }
}

void ResolveClassPathEntry(const std::u16string& entry, std::u16string& classPath) {
  // The launcher's directory stays empty when its path cannot be read
  // (already reported).
  std::u16string launcherDirectory;
  if (!IsAbsolutePath(entry)) GetModuleDirectory(launcherDirectory);
  ResolveClassPathEntry(entry, launcherDirectory, classPath);
}

std::u16string BuildClassPath(const std::u16string& value) {
  return BuildClassPathWith(value, [](const std::u16string& entry, std::u16string& classPath) {
    ResolveClassPathEntry(entry, classPath);
  });
}

std::u16string BuildClassPath(const std::u16string& value, const std::u16string& launcherDirectory) {
  return BuildClassPathWith(value, [&](const std::u16string& entry, std::u16string& classPath) {
    ResolveClassPathEntry(entry, launcherDirectory, classPath);
  });
}

bool AssembleJvmOptions(Launcher& launcher) {
  std::u16string iniPath;
  if (!GetIniPath(iniPath)) return false;
  IniConfig config(iniPath);

  std::u16string classPath = BuildClassPath(ReadClassPath(config));
  if (ReadEmbeddedJar(config)) {
    std::u16string modulePath;
    if (GetModulePath(modulePath)) classPath = modulePath + kSearchPathSeparator + classPath;
  }
  if (classPath.empty()) {
    ReportMessage(LoadMessage(kMsgNoClassPath));
    return false;
  }

  TextList options{kClassPathOption + classPath};
  const std::u16string vmParameters = ReadVirtualMachineParameters(config);
  if (!vmParameters.empty()) SplitVmParameters(vmParameters, options, launcher);
  // The class path is expanded a second time here, like every option.
  for (std::u16string& option : options) option = ExpandEnvironment(option);
  if (config.GetString(u"Java Runtime Environment", u"Startup Cache") == u"yes") {
    StartupCacheInput cache;
    cache.featureVersion = FeatureVersion(launcher.selectedVersion);
    cache.javaHome = JavaHomeOfLibrary(launcher.jvmLibraryPath);
    if (cache.featureVersion == 0) cache.featureVersion = ReadRuntimeFeatureVersion(cache.javaHome);
    cache.cacheFolder = StartupCacheFolder(launcher.productName, launcher.productCode);
    cache.jvmLibraryPath = launcher.jvmLibraryPath;
    cache.classPath = options.front().substr(std::char_traits<char16_t>::length(kClassPathOption));
    cache.vmParameters.assign(options.begin() + 1, options.end());
    const StartupCachePlan plan = PlanStartupCache(cache);
    options.insert(options.end(), plan.options.begin(), plan.options.end());
    FinishStartupCacheAtExit(plan);
  }
  for (const std::u16string& option : options) launcher.jvmOptions.push_back(ToJvmNarrow(option));

  launcher.outputFile = ExpandedUnlessEmpty(ReadOutputFile(config));
  launcher.outputAppend = ReadOutputAppend(config);
  launcher.errorFile = ExpandedUnlessEmpty(ReadErrorFile(config));
  launcher.errorAppend = ReadErrorAppend(config);

  launcher.cmd = ReadCmd(config);
  if (!launcher.cmd.empty()) {
    TextList tokens;
    SplitArguments(ExpandEnvironment(launcher.cmd), tokens);
    // An empty quoted token is dropped here, unlike on the command line.
    for (std::u16string& token : tokens) {
      if (!token.empty()) launcher.arguments.push_back(std::move(token));
    }
  }
  return true;
}

}  // namespace javelin
