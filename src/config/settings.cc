#include "config/settings.h"

#include "base/error_reporter.h"
#include "base/file_system.h"
#include "base/message_table.h"
#include "base/module_path.h"
#include "config/ini_file.h"
#include "config/ini_paths.h"
#include "jre/version.h"
#include "launcher/launcher.h"

namespace javelin {

namespace {

const char16_t kProductSection[] = u"Product Information";
const char16_t kJreSection[] = u"Java Runtime Environment";
const char16_t kApplicationSection[] = u"Application";
const char16_t kClassPathSection[] = u"Class Path";

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
  if (value == u"server") return Launcher::kJvmTypeServer;
  if (value == u"favor_server") return Launcher::kJvmTypeFavorServer;
  return Launcher::kJvmTypeAny;
}

// "JVM Source", compared exactly. The two preference flags are always set;
// the permission for both kinds only by a non-empty value.
void ApplyJvmSource(Launcher& launcher, const std::u16string& value) {
  if (value.empty()) {
    launcher.jdkPreferred = true;
    launcher.jrePreferred = true;
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
  launcher.bothKindsAllowed = false;
  launcher.jdkPreferred = false;
  launcher.jrePreferred = false;
  for (const Row& row : kRows) {
    if (value == row.value) {
      launcher.bothKindsAllowed = row.bothKinds;
      launcher.jdkPreferred = row.jdk;
      launcher.jrePreferred = row.jre;
    }
  }
}

// "VM Provider", compared without regard to case. A recognised value sets
// all six vendor flags; anything else leaves the defaults (standard vendor
// only).
void ApplyVmProvider(Launcher& launcher, const std::u16string& value) {
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
    launcher.jrockitAllowed = row.jrockitAllowed;
    launcher.jrockitPreferred = row.jrockitPreferred;
    launcher.sunAllowed = row.sunAllowed;
    launcher.sunPreferred = row.sunPreferred;
    launcher.ibmAllowed = row.ibmAllowed;
    launcher.ibmPreferred = row.ibmPreferred;
    return;
  }
}

// In application mode a per-user settings file, when it exists, is the only
// source of "JRE Path": it holds the folder the user picked once.
std::u16string ReadJrePath(Launcher& launcher, IniConfig& config,
                           const std::u16string& modulePath) {
  if (!launcher.serviceMode) {
    const std::u16string userIniPath = GetUserIniPath(launcher, modulePath, false);
    FileFinder finder;
    if (finder.FindFile(userIniPath)) return IniFile(userIniPath).GetString(kJreSection, u"JRE Path");
  }
  return config.GetString(kJreSection, u"JRE Path");
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

bool ReadSettings(Launcher& launcher) {
  std::u16string modulePath;
  std::u16string iniPath;
  if (!GetModulePath(modulePath) || !IniPathForExecutable(modulePath, iniPath)) return false;
  return ReadSettingsFrom(launcher, iniPath, modulePath);
}

bool ReadSettingsFrom(Launcher& launcher, const std::u16string& iniPath,
                      const std::u16string& modulePath) {
  // The product keys bypass the "+" rule.
  IniFile product(iniPath);
  launcher.productCode = product.GetString(kProductSection, u"Product Code");
  launcher.productName = product.GetString(kProductSection, u"Product Name");

  IniConfig config(iniPath);
  launcher.minimumVersion = ReadMinimumVersion(config.GetString(kJreSection, u"Minimum Version"));
  launcher.maximumVersion = ReadMaximumVersion(config.GetString(kJreSection, u"Maximum Version"));
  launcher.serviceMode = ReadServiceMode(config);
  if (launcher.serviceMode) {
    launcher.omitServiceName = !config.GetString(kApplicationSection, u"Omit Service Name").empty();
  }
  SplitText(config.GetString(kJreSection, u"Preferred versions"), u";", launcher.preferredVersions);
  launcher.jrePath = MakeJrePathAbsolute(ReadJrePath(launcher, config, modulePath), modulePath);
  launcher.jvmType = ReadJvmType(config.GetString(kJreSection, u"JVM Type"));
  ApplyJvmSource(launcher, config.GetString(kJreSection, u"JVM Source"));
  ApplyVmProvider(launcher, config.GetString(kJreSection, u"VM Provider"));

  const std::u16string mainClass = config.GetString(kJreSection, u"Main Class");
  if (mainClass.empty()) {
    ReportMessage(LoadMessage(kMsgNoMainClass));
    return false;
  }
  launcher.mainClass = ReplaceAll(mainClass, u'.', u'/');

  launcher.failureCheck = IsYesIgnoringCase(config.GetString(kApplicationSection, u"Failure Check"));
  launcher.overrideWorkingDir =
      IsYesIgnoringCase(config.GetString(kApplicationSection, u"Override WorkingDir"));
  launcher.systemPath = config.GetString(kJreSection, u"System Path");
  launcher.libraryPath = config.GetString(kJreSection, u"Library Path");
  launcher.pairProduct = config.GetString(kApplicationSection, u"Pair Product");
  launcher.pairReturnCode =
      IsYesIgnoringCase(config.GetString(kApplicationSection, u"Pair Return Code"));
  return true;
}

bool ReadServiceMode(IniFile& config) {
  return config.GetString(kApplicationSection, u"Application Type") == u"service";
}

bool ReadSingleInstance(IniFile& config) {
  return IsExactlyLowercaseYes(config.GetString(kApplicationSection, u"Single Instance"));
}

std::u16string ReadClassPath(IniFile& config) {
  return config.GetString(kClassPathSection, u"Class Path");
}

bool ReadEmbeddedJar(IniFile& config) {
  return IsYesIgnoringCase(config.GetString(kApplicationSection, u"Embedded Jar"));
}

std::u16string ReadVirtualMachineParameters(IniFile& config) {
  return config.GetString(kJreSection, u"Virtual Machine Parameters");
}

std::u16string ReadOutputFile(IniFile& config) {
  return config.GetString(kApplicationSection, u"Output File");
}

bool ReadOutputAppend(IniFile& config) {
  return IsExactlyLowercaseYes(config.GetString(kApplicationSection, u"Output Append"));
}

std::u16string ReadErrorFile(IniFile& config) {
  return config.GetString(kApplicationSection, u"Error File");
}

bool ReadErrorAppend(IniFile& config) {
  return IsExactlyLowercaseYes(config.GetString(kApplicationSection, u"Error Append"));
}

std::u16string ReadCmd(IniFile& config) { return config.GetString(kApplicationSection, u"Cmd"); }

}  // namespace javelin
