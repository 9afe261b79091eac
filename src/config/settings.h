// The settings of a launch, read once from the configuration files into one
// immutable value.
#pragma once

#include <optional>
#include <string>

#include "base/failure.h"
#include "base/process_context.h"
#include "base/text.h"
#include "config/ini_source.h"
#include "config/jvm_kind.h"
#include "config/version.h"

namespace javelin {

// What the runtime search must find.
struct RuntimeRequirements {
  VersionNumber minimumVersion;   // "Minimum Version"
  VersionNumber maximumVersion;   // "Maximum Version"
  int32_t jvmType = kJvmTypeAny;  // "JVM Type"
  // "JVM Source": which kinds of runtime are searched and preferred.
  bool jdkPreferred = false;
  bool jrePreferred = false;
  bool bothKindsAllowed = true;
  // "VM Provider": which vendors are searched and preferred.
  bool jrockitAllowed = false;
  bool sunAllowed = true;
  bool ibmAllowed = false;
  bool jrockitPreferred = false;
  bool sunPreferred = true;
  bool ibmPreferred = false;
  TextList preferredVersions;  // "Preferred versions"
  std::u16string jrePath;      // "JRE Path", made absolute
  // "Pair Product": with a pair launcher, runtimes built for the other
  // machine are found too and hand the launch over.
  std::u16string pairProduct;
};

// The options of the run: read with the settings, turned into JVM options by
// the launch plan.
struct RunOptions {
  std::u16string classPath;     // "Class Path" as written
  bool embeddedJar = false;     // "Embedded Jar"
  std::u16string vmParameters;  // "Virtual Machine Parameters"
  std::u16string outputFile;    // "Output File" as written
  bool outputAppend = false;    // "Output Append"
  std::u16string errorFile;     // "Error File" as written
  bool errorAppend = false;     // "Error Append"
  std::u16string cmd;           // "Cmd"
  std::u16string libraryPath;   // "Library Path"
  std::u16string systemPath;    // "System Path"
  bool startupCache = false;    // "Startup Cache" is "yes": a per-user class-data cache
};

struct Settings {
  std::u16string productName;  // "Product Name"
  std::u16string productCode;  // "Product Code"
  RuntimeRequirements runtime;
  std::u16string mainClass;  // "Main Class", with every '.' replaced by '/'
  // "Download URL": where the JRE-not-found question points users; empty
  // for the default address.
  std::u16string downloadUrl;
  bool serviceMode = false;  // "Application Type" is "service"
  bool omitServiceName = false;
  bool singleInstance = false;  // "Single Instance" is "yes"
  bool failureCheck = false;
  bool overrideWorkingDir = false;
  bool pairReturnCode = false;
  RunOptions run;

  const std::u16string& pairProduct() const { return runtime.pairProduct; }
  // "VM Provider" "ibm" and "favor_ibm": threads that ran Java code never
  // detach, and the JVM thread sleeps after main instead of ending.
  bool NeverDetach() const { return runtime.ibmAllowed && runtime.ibmPreferred; }
};

// Reads the settings from the configuration file of `context` (and, for
// "JRE Path" in application mode, from the per-user settings file). Fails
// with message 210 when "Main Class" is empty, and without a message of its
// own when the configuration file path is unknown.
Result<Settings> ReadSettings(const IniSource& source, const ProcessContext& context);

// The two flag families: "Yes" in any letter case, or exactly "yes".
bool IsYesIgnoringCase(const std::u16string& value);
bool IsExactlyLowercaseYes(const std::u16string& value);

// "JRE Path" made absolute against the folder of `modulePath`: an empty
// value stays empty, an absolute one stays as it is, any other value gets
// the folder and a separator in front.
std::u16string MakeJrePathAbsolute(const std::u16string& value, const std::u16string& modulePath);

// The sections of the configuration file.
extern const char16_t kProductSection[];
extern const char16_t kJreSection[];
extern const char16_t kApplicationSection[];
extern const char16_t kClassPathSection[];

}  // namespace javelin
