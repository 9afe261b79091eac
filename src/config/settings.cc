#include "config/settings.h"

#include "base/file_system.h"
#include "base/message_table.h"
#include "base/trace.h"
#include "config/ini_paths.h"
#include "config/message_settings.h"

namespace javelin {

const char16_t kProductSection[] = u"Product Information";
const char16_t kJreSection[] = u"Java Runtime Environment";
const char16_t kApplicationSection[] = u"Application";
const char16_t kClassPathSection[] = u"Class Path";

namespace {

constexpr int32_t kOpenMaximumComponent = 65535;

VersionNumber ReadMinimumVersion(const std::u16string& value) {
  if (value == u"any") return VersionNumber();
  return ParseVersion(value, 0);
}

VersionNumber ReadMaximumVersion(const std::u16string& value) {
  if (value == u"any") {
    VersionNumber open;
    for (int32_t& component : open.components) component = kOpenMaximumComponent;
    return open;
  }
  return ParseVersion(value, kOpenMaximumComponent);
}

int32_t ReadJvmType(const std::u16string& value) {
  if (value == u"server") return kJvmTypeServer;
  if (value == u"favor_server") return kJvmTypeFavorServer;
  return kJvmTypeAny;
}

// "JVM Source", compared exactly. The two preference flags are always set;
// the permission for both kinds only by a non-empty value.
void ApplyJvmSource(RuntimeRequirements& runtime, const std::u16string& value) {
  if (value.empty()) {
    runtime.jdkPreferred = true;
    runtime.jrePreferred = true;
    return;
  }
  struct Row {
    const char16_t* value;
    bool bothKinds, jdk, jre;
  };
  static const Row kRows[] = {
      {u"favor_JRE", true, false, true},
      {u"favor_JDK", true, true, false},
      {u"only_JDK", false, true, false},
      {u"only_JRE", false, false, true},
  };
  runtime.bothKindsAllowed = false;
  runtime.jdkPreferred = false;
  runtime.jrePreferred = false;
  for (const Row& row : kRows) {
    if (value == row.value) {
      runtime.bothKindsAllowed = row.bothKinds;
      runtime.jdkPreferred = row.jdk;
      runtime.jrePreferred = row.jre;
    }
  }
}

// "VM Provider", compared without regard to case. A recognised value sets
// all six vendor flags; anything else leaves the defaults (standard vendor
// only).
void ApplyVmProvider(RuntimeRequirements& runtime, const std::u16string& value) {
  struct Row {
    const char16_t* value;
    bool jrockitAllowed, jrockitPreferred, sunAllowed, sunPreferred, ibmAllowed, ibmPreferred;
  };
  static const Row kRows[] = {
      {u"jrockit", true, true, false, false, false, false},
      {u"ibm", false, false, false, false, true, true},
      {u"favor_sun", true, false, true, true, true, false},
      {u"favor_jrockit", true, true, true, false, true, false},
      {u"favor_ibm", true, false, true, false, true, true},
      {u"any", true, false, true, false, true, false},
  };
  for (const Row& row : kRows) {
    if (!EqualsIgnoreCase(value, row.value)) continue;
    runtime.jrockitAllowed = row.jrockitAllowed;
    runtime.jrockitPreferred = row.jrockitPreferred;
    runtime.sunAllowed = row.sunAllowed;
    runtime.sunPreferred = row.sunPreferred;
    runtime.ibmAllowed = row.ibmAllowed;
    runtime.ibmPreferred = row.ibmPreferred;
    return;
  }
}

// In application mode a per-user settings file, when it exists, is the only
// source of "JRE Path": it holds the folder the user picked once.
std::u16string ReadJrePath(const IniSource& source, const IniConfig& config,
                           const Settings& settings, const std::u16string& modulePath) {
  if (!settings.serviceMode) {
    const std::u16string userIniPath =
        GetUserIniPath(settings.productName, settings.productCode, modulePath, false);
    const bool exists = source.FileExists(userIniPath);
    Trace(u"per-user settings file " + Quoted(userIniPath) + (exists ? u" found" : u" not found"));
    if (exists) {
      const std::u16string value = source.GetString(userIniPath, kJreSection, u"JRE Path");
      Trace(u"per-user setting JRE Path = " + Quoted(value));
      return value;
    }
  }
  return config.GetString(kJreSection, u"JRE Path");
}

RunOptions ReadRunOptions(const IniConfig& config) {
  RunOptions run;
  run.classPath = config.GetString(kClassPathSection, u"Class Path");
  run.embeddedJar = IsYesIgnoringCase(config.GetString(kApplicationSection, u"Embedded Jar"));
  run.vmParameters = config.GetString(kJreSection, u"Virtual Machine Parameters");
  run.outputFile = config.GetString(kApplicationSection, u"Output File");
  run.outputAppend = IsExactlyLowercaseYes(config.GetString(kApplicationSection, u"Output Append"));
  run.errorFile = config.GetString(kApplicationSection, u"Error File");
  run.errorAppend = IsExactlyLowercaseYes(config.GetString(kApplicationSection, u"Error Append"));
  run.cmd = config.GetString(kApplicationSection, u"Cmd");
  run.libraryPath = config.GetString(kJreSection, u"Library Path");
  run.systemPath = config.GetString(kJreSection, u"System Path");
  run.startupCache = config.GetString(kJreSection, u"Startup Cache") == u"yes";
  return run;
}

}  // namespace

bool IsYesIgnoringCase(const std::u16string& value) { return EqualsIgnoreCase(value, u"Yes"); }

bool IsExactlyLowercaseYes(const std::u16string& value) { return value == u"yes"; }

std::u16string MakeJrePathAbsolute(const std::u16string& value, const std::u16string& modulePath) {
  if (value.empty() || IsAbsolutePath(value)) return value;
  const size_t separator = modulePath.rfind(kPathSeparator);
  const std::u16string folder =
      separator == std::u16string::npos ? std::u16string() : modulePath.substr(0, separator);
  return folder + kPathSeparator + value;
}

Result<Settings> ReadSettings(const IniSource& source, const ProcessContext& context) {
  // Without a module path there is no configuration path; that failure has
  // been reported with the module path.
  if (context.iniPath.empty()) return Failure{};
  const IniConfig config(source, context.iniPath);
  Settings settings;
  // The product keys bypass the "+" rule.
  settings.productCode = config.GetPlainString(kProductSection, u"Product Code");
  settings.productName = config.GetPlainString(kProductSection, u"Product Name");

  RuntimeRequirements& runtime = settings.runtime;
  runtime.minimumVersion = ReadMinimumVersion(config.GetString(kJreSection, u"Minimum Version"));
  runtime.maximumVersion = ReadMaximumVersion(config.GetString(kJreSection, u"Maximum Version"));
  settings.serviceMode = config.GetString(kApplicationSection, u"Application Type") == u"service";
  if (settings.serviceMode) {
    settings.omitServiceName = !config.GetString(kApplicationSection, u"Omit Service Name").empty();
  }
  SplitText(config.GetString(kJreSection, u"Preferred versions"), u";", runtime.preferredVersions);
  runtime.jrePath = MakeJrePathAbsolute(ReadJrePath(source, config, settings, context.modulePath),
                                        context.modulePath);
  runtime.jvmType = ReadJvmType(config.GetString(kJreSection, u"JVM Type"));
  ApplyJvmSource(runtime, config.GetString(kJreSection, u"JVM Source"));
  ApplyVmProvider(runtime, config.GetString(kJreSection, u"VM Provider"));

  ApplyMessageSettings(config, settings);

  // A name from a "+" section comes with a leading blank, which no class
  // name has.
  std::u16string mainClass = config.GetString(kJreSection, u"Main Class");
  mainClass.erase(0, mainClass.find_first_not_of(u' '));
  if (mainClass.empty()) return MessageFailure(kMsgNoMainClass);
  settings.mainClass = ReplaceAll(mainClass, u'.', u'/');

  settings.failureCheck =
      IsYesIgnoringCase(config.GetString(kApplicationSection, u"Failure Check"));
  settings.overrideWorkingDir =
      IsYesIgnoringCase(config.GetString(kApplicationSection, u"Override WorkingDir"));
  runtime.pairProduct = config.GetString(kApplicationSection, u"Pair Product");
  settings.pairReturnCode =
      IsYesIgnoringCase(config.GetString(kApplicationSection, u"Pair Return Code"));
  settings.downloadUrl = config.GetString(kJreSection, u"Download URL");
  settings.downloadUrl.erase(0, settings.downloadUrl.find_first_not_of(u' '));
  settings.singleInstance =
      IsExactlyLowercaseYes(config.GetString(kApplicationSection, u"Single Instance"));
  settings.run = ReadRunOptions(config);
  return settings;
}

}  // namespace javelin
