// The search for a Java runtime: configured folder, the launcher's own
// folder, installed runtimes, JAVA_HOME.
#pragma once

#include <functional>
#include <string>

#include "jre/jvm_library.h"

namespace javelin {

class Launcher;

// Tries the sources in order; on success leaves the JVM library path in the
// launcher and returns true. False when no source yields a library (the
// caller then asks the user).
bool FindJre(Launcher& launcher);

// The installed-runtimes source as FindJre calls it: first with the default
// view, then with the alternate one.
using InstalledRuntimeSource = std::function<bool(
    Launcher& launcher, bool alternateView, std::u16string& home, VersionNumber& version)>;

// FindJre with the installed runtimes searched by `installedRuntimes`
// (tests give it their own roots).
bool FindJre(Launcher& launcher, const InstalledRuntimeSource& installedRuntimes);

// The launcher's own folder, or its "jre" subfolder, when it holds the
// runtime marker. The home ends in the separator.
bool FindInApplicationFolder(std::u16string& home);
// The folder named by JAVA_HOME (a separator appended when missing) when it
// holds the runtime marker.
bool FindInJavaHome(std::u16string& home);

// Installed runtimes: the registry on Windows, the Java installation folders
// elsewhere. `alternateView` is the 64-bit registry view (Windows); on POSIX
// there is only one view and the alternate one finds nothing.
bool FindInstalledRuntime(Launcher& launcher, bool alternateView, std::u16string& home,
                          VersionNumber& version);

}  // namespace javelin
