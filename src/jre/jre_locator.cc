#include "jre/jre_locator.h"

#include "base/file_system.h"
#include "base/trace.h"
#include "jre/runtime_folders.h"
#include "jre/runtime_layout.h"
#include "jre/well_known_runtimes.h"

namespace javelin {

namespace {

std::u16string WithTrailingSeparator(std::u16string path) {
  if (path.empty() || path.back() != kPathSeparator) path.push_back(kPathSeparator);
  return path;
}

// The choice of the library of `home` for the "JVM Type" setting; nothing
// when the home holds none.
std::optional<RuntimeChoice> UseHome(const RuntimeRequirements& runtime,
                                     const std::u16string& home) {
  std::u16string library = SelectJvmLibrary(home, runtime.jvmType);
  if (library.empty()) {
    Trace(u"  " + Quoted(home) + u" holds no JVM library of the kind \"JVM Type\" asks for");
    return std::nullopt;
  }
  return RuntimeChoice{std::move(library), VersionNumber{}, false};
}

// A runtime the user named ("JRE Path", JAVA_HOME) is used whatever it is
// built for; a foreign one hands the launch to the pair launcher.
std::optional<RuntimeChoice> WithMachineCheck(std::optional<RuntimeChoice> choice,
                                              const RuntimeRequirements& runtime) {
  if (choice) choice->handOverToPair = CheckJvmMachine(choice->jvmLibraryPath, runtime.pairProduct);
  return choice;
}

}  // namespace

RuntimeSources DefaultRuntimeSources(const std::u16string& modulePath) {
  RuntimeSources sources;
  const size_t last = modulePath.rfind(kPathSeparator);
  if (last != std::u16string::npos) sources.applicationFolder = modulePath.substr(0, last + 1);
  sources.installedRuntimes = FindInstalledRuntime;
  const std::u16string reference = u"%JAVA_HOME%";
  const std::u16string value = ExpandEnvironment(reference);
  if (value != reference) sources.javaHome = value;
  sources.wellKnownFolders = WellKnownRuntimeFolders();
  return sources;
}

std::optional<std::u16string> FindInApplicationFolder(const std::u16string& folder) {
  if (folder.empty()) return std::nullopt;
  if (HasRuntimeMarker(folder)) return folder;
  const std::u16string bundled = folder + u"jre" + kPathSeparator;
  if (HasRuntimeMarker(bundled)) return bundled;
  return std::nullopt;
}

std::optional<std::u16string> FindInJavaHome(const std::u16string& javaHome) {
  if (javaHome.empty()) return std::nullopt;
  const std::u16string candidate = WithTrailingSeparator(javaHome);
  if (!HasRuntimeMarker(candidate)) return std::nullopt;
  return candidate;
}

std::optional<RuntimeChoice> FindJre(const RuntimeRequirements& runtime,
                                     const RuntimeSources& sources) {
  // The configured folder is taken as it is: no version range, no marker.
  Trace(u"runtime source \"JRE Path\": " +
        (runtime.jrePath.empty() ? u"not set" : Quoted(runtime.jrePath)));
  if (!runtime.jrePath.empty()) {
    if (auto choice = UseHome(runtime, WithTrailingSeparator(runtime.jrePath))) {
      return WithMachineCheck(std::move(choice), runtime);
    }
  }

  Trace(u"runtime source the launcher's folder: " + Quoted(sources.applicationFolder));
  if (const auto home = FindInApplicationFolder(sources.applicationFolder)) {
    if (auto choice = UseHome(runtime, *home)) return choice;
  }

  // Installed runtimes: the default view, then the alternate one.
  if (sources.installedRuntimes) {
    for (const bool alternateView : {false, true}) {
      Trace(alternateView ? u"runtime source installed runtimes, the other view"
                          : u"runtime source installed runtimes");
      const auto installed = sources.installedRuntimes(runtime, alternateView);
      if (!installed) continue;
      auto choice = UseHome(runtime, installed->home);
      if (!choice) break;
      choice->version = installed->version;
      choice->handOverToPair = alternateView;
      return choice;
    }
  }

  Trace(u"runtime source JAVA_HOME: " +
        (sources.javaHome.empty() ? u"not set" : Quoted(sources.javaHome)));
  if (const auto home = FindInJavaHome(sources.javaHome)) {
    return WithMachineCheck(UseHome(runtime, *home), runtime);
  }

  // Runtimes unpacked without registration. One built for the other
  // processor is of use only to a pair launcher.
  Trace(u"runtime source well-known folders");
  const bool ownMachineOnly = runtime.pairProduct.empty();
  if (const auto found = FindInRuntimeFolders(runtime, sources.wellKnownFolders, ownMachineOnly)) {
    auto choice = WithMachineCheck(UseHome(runtime, found->home), runtime);
    if (choice) choice->version = found->version;
    return choice;
  }
  return std::nullopt;
}

}  // namespace javelin
