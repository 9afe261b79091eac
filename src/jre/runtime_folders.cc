#include "jre/runtime_folders.h"

#include <algorithm>

#include "base/file_system.h"
#include "base/trace.h"
#include "jre/binary_machine.h"
#include "jre/release_file.h"
#include "jre/runtime_layout.h"

namespace javelin {

namespace {

bool IsFolder(const std::u16string& path) {
  FileFinder finder;
  return finder.FindFile(path) && finder.IsDirectory();
}

// Names of the subfolders of `root` (links followed), sorted so that the
// search does not depend on the order the file system lists them in.
TextList SubfolderNames(const std::u16string& root) {
  TextList names;
  FileFinder finder;
  for (bool found = finder.FindFile(root + kPathSeparator + u"*"); found;
       found = finder.FindNext()) {
    const std::u16string name = finder.FileName();
    if (finder.IsDirectory() && name != u"." && name != u"..") names.push_back(name);
  }
  std::sort(names.begin(), names.end());
  return names;
}

std::u16string WithoutTrailingSeparators(std::u16string path) {
  while (path.size() > 1 && path.back() == kPathSeparator) path.pop_back();
  return path;
}

bool ContainsIgnoreCase(const std::string& text, const std::string& word) {
  auto lower = [](std::string s) {
    for (char& c : s) {
      if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return s;
  };
  return lower(text).find(lower(word)) != std::string::npos;
}

JavaVendor VendorFromImplementor(const std::string& implementor) {
  if (ContainsIgnoreCase(implementor, "IBM")) return JavaVendor::kIbm;
  if (ContainsIgnoreCase(implementor, "JRockit")) return JavaVendor::kJRockit;
  return JavaVendor::kSun;
}

bool HasCompiler(const std::u16string& home) {
  for (const std::u16string& relative : CompilerPaths()) {
    if (PathExists(home + relative)) return true;
  }
  return false;
}

bool IsOwnMachine(const std::u16string& library) {
  const MachineType own = OwnMachine();
  uint16_t machine = 0;
  return ReadFileMachine(library, own.format, machine) && machine == own.machine;
}

}  // namespace

bool ReadRuntimeFolder(const std::u16string& folder, RuntimeFolder& runtime) {
  std::u16string path = WithoutTrailingSeparators(folder);
  if (!IsFolder(path)) return false;
  // macOS bundles keep the runtime in Contents/Home.
  const std::u16string bundleHome = path + kPathSeparator + u"Contents" + kPathSeparator + u"Home";
  if (IsFolder(bundleHome)) path = bundleHome;
  const std::u16string name = path.substr(path.rfind(kPathSeparator) + 1);
  runtime.home = path + kPathSeparator;

  std::string release;
  ReadSmallFile(runtime.home + u"release", release);
  bool parsed = false;
  runtime.version = ParseVersion(FromUtf8(ReleaseFileValue(release, "JAVA_VERSION")), 0, &parsed);
  if (!parsed) runtime.version = ParseVersion(name, 0);
  runtime.kind = HasCompiler(runtime.home) ? JavaKind::kJdk : JavaKind::kJre;
  runtime.vendor = VendorFromImplementor(ReleaseFileValue(release, "IMPLEMENTOR"));
  // A JDK 8 keeps its runtime in the "jre" folder, as the registry's JDK 8
  // roots do on Windows.
  const std::u16string bundled = runtime.home + u"jre" + kPathSeparator;
  if (HasRuntimeMarker(bundled)) runtime.home = bundled;
  return true;
}

// Instead of a registry root telling the kind and vendor of all its entries,
// each runtime folder tells its own, and "JVM Source" and "VM Provider" admit
// or skip it and mark it preferred by the same rules. The version range, the
// library check and the ranking are the same as there.
void CollectFolderCandidates(const RuntimeRequirements& requirements, const std::u16string& root,
                             JreCandidateList& list, bool ownMachineOnly) {
  const std::u16string rootPath = WithoutTrailingSeparators(root);
  for (const std::u16string& name : SubfolderNames(rootPath)) {
    RuntimeFolder runtime;
    if (!ReadRuntimeFolder(rootPath + kPathSeparator + name, runtime)) continue;
    const std::u16string seen = u"candidate " + Quoted(runtime.home) + u" version " +
                                FormatVersion(runtime.version) +
                                (runtime.kind == JavaKind::kJdk ? u" JDK" : u" JRE") + u": ";
    const std::u16string refused =
        WhyNotAdmitted(requirements, runtime.kind, runtime.vendor, runtime.version);
    if (!refused.empty()) {
      Trace(seen + u"passed over, " + refused);
      continue;
    }
    // A standard-vendor JRE is what the registry's "Java Runtime
    // Environment" root holds on Windows, where "favor_server" counts as no
    // preference when checking the home; the same applies here.
    const bool ignoresServerPreference =
        runtime.kind == JavaKind::kJre && runtime.vendor == JavaVendor::kSun;
    JreCandidate candidate;
    const int32_t kind = CandidateJvmKind(requirements, ignoresServerPreference);
    const std::u16string library = SelectJvmLibrary(runtime.home, kind, &candidate.isServerVm);
    if (library.empty()) {
      Trace(seen + u"passed over, no JVM library of the kind \"JVM Type\" asks for");
      continue;
    }
    if (ownMachineOnly && !IsOwnMachine(library)) {
      Trace(seen + u"passed over, built for another processor");
      continue;
    }
    Trace(seen + u"admitted");
    candidate.version = runtime.version;
    candidate.home = runtime.home;
    candidate.preferred = IsRuntimePreferred(requirements, runtime.kind, runtime.vendor);
    list.push_back(candidate);
  }
}

std::optional<InstalledRuntime> FindInRuntimeFolders(const RuntimeRequirements& runtime,
                                                     const TextList& roots, bool ownMachineOnly) {
  JreCandidateList list;
  for (const std::u16string& root : roots) {
    Trace(u"runtime folder " + Quoted(root));
    CollectFolderCandidates(runtime, root, list, ownMachineOnly);
  }
  return ChooseInstalledRuntime(list, runtime);
}

}  // namespace javelin
