// The search for a Java runtime: configured folder, the launcher's own
// folder, installed runtimes, JAVA_HOME.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "config/settings.h"
#include "jre/installed_runtimes.h"

namespace javelin {

// The runtime a launch uses.
struct RuntimeChoice {
  std::u16string jvmLibraryPath;
  // The version the installed-runtimes source read; 0.0.0.0 when another
  // source found the runtime.
  VersionNumber version;
  // The library is built for the other machine: the pair launcher runs the
  // application instead.
  bool handOverToPair = false;
};

// The installed-runtimes source as FindJre calls it: first with the default
// view, then with the alternate one.
using InstalledRuntimeSource =
    std::function<std::optional<InstalledRuntime>(const RuntimeRequirements&, bool alternateView)>;

// Where FindJre looks besides the configured "JRE Path".
struct RuntimeSources {
  // The launcher's own folder, ending in the separator; empty: not searched.
  std::u16string applicationFolder;
  InstalledRuntimeSource installedRuntimes;
  // The value of JAVA_HOME; empty when it is not set.
  std::u16string javaHome;
  // Roots of runtimes unpacked without registration, searched last.
  TextList wellKnownFolders;
};

// The sources of a real launch: the folder of `modulePath`, the machine's
// installed runtimes, the process's JAVA_HOME and the well-known folders.
RuntimeSources DefaultRuntimeSources(const std::u16string& modulePath);

// Tries the sources in order and returns the first JVM library of the kind
// "JVM Type" asks for. After a hit from "JRE Path", JAVA_HOME or a
// well-known folder the machine check decides the hand-over (a well-known
// runtime of another processor is considered only with a pair launcher); a
// hit in the alternate view of the installed runtimes hands over by itself. Nothing when no source
// yields a library (the caller then asks the user).
std::optional<RuntimeChoice> FindJre(const RuntimeRequirements& runtime,
                                     const RuntimeSources& sources);

// The folder itself, or its "jre" subfolder, when it holds the runtime
// marker. The home ends in the separator.
std::optional<std::u16string> FindInApplicationFolder(const std::u16string& folder);
// The JAVA_HOME folder (a separator appended when missing) when it holds the
// runtime marker.
std::optional<std::u16string> FindInJavaHome(const std::u16string& javaHome);

}  // namespace javelin
