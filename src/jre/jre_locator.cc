#include "jre/jre_locator.h"

#include "base/file_system.h"
#include "base/module_path.h"
#include "jre/runtime_layout.h"
#include "launcher/launcher.h"

namespace javelin {

namespace {

std::u16string WithTrailingSeparator(std::u16string path) {
  if (path.empty() || path.back() != kPathSeparator) path.push_back(kPathSeparator);
  return path;
}

// Takes the library of `home` for the "JVM Type" setting into the launcher.
bool UseHome(Launcher& launcher, const std::u16string& home) {
  std::u16string library = SelectJvmLibrary(home, launcher.jvmType);
  if (library.empty()) return false;
  launcher.jvmLibraryPath = library;
  return true;
}

}  // namespace

bool FindInApplicationFolder(std::u16string& home) {
  std::u16string modulePath;
  if (!GetModulePath(modulePath)) return false;
  const size_t last = modulePath.rfind(kPathSeparator);
  if (last == std::u16string::npos) return false;
  const std::u16string folder = modulePath.substr(0, last + 1);
  if (HasRuntimeMarker(folder)) {
    home = folder;
    return true;
  }
  const std::u16string bundled = folder + u"jre" + kPathSeparator;
  if (HasRuntimeMarker(bundled)) {
    home = bundled;
    return true;
  }
  return false;
}

bool FindInJavaHome(std::u16string& home) {
  const std::u16string reference = u"%JAVA_HOME%";
  const std::u16string value = ExpandEnvironment(reference);
  if (value.empty() || value == reference) return false;
  const std::u16string candidate = WithTrailingSeparator(value);
  if (!HasRuntimeMarker(candidate)) return false;
  home = candidate;
  return true;
}

bool FindJre(Launcher& launcher) { return FindJre(launcher, FindInstalledRuntime); }

bool FindJre(Launcher& launcher, const InstalledRuntimeSource& installedRuntimes) {
  // The configured folder is taken as it is: no version range, no marker.
  if (!launcher.jrePath.empty() && UseHome(launcher, WithTrailingSeparator(launcher.jrePath))) {
    CheckJvmMachine(launcher);
    return true;
  }

  std::u16string home;
  if (FindInApplicationFolder(home) && UseHome(launcher, home)) return true;

  // Installed runtimes: the default view, then the alternate one. A hit in
  // the alternate view has already marked the hand-over to the pair.
  VersionNumber version;
  if (installedRuntimes(launcher, false, home, version) ||
      installedRuntimes(launcher, true, home, version)) {
    if (UseHome(launcher, home)) return true;
  }

  if (FindInJavaHome(home) && UseHome(launcher, home)) {
    CheckJvmMachine(launcher);
    return true;
  }
  return false;
}

}  // namespace javelin
