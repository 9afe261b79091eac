#include "jre/installed_runtimes_posix.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "jre/release_file.h"
#include "jre/runtime_layout.h"

namespace javelin {

namespace {

bool IsDirectory(const std::string& path) {
  struct stat info;
  return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// Names of the subfolders of `root` (symbolic links followed), sorted so the
// search does not depend on the order the file system lists them in.
std::vector<std::string> SubfolderNames(const std::string& root) {
  std::vector<std::string> names;
  DIR* directory = opendir(root.c_str());
  if (directory == nullptr) return names;
  while (const dirent* entry = readdir(directory)) {
    const std::string name = entry->d_name;
    if (name == "." || name == "..") continue;
    if (IsDirectory(root + "/" + name)) names.push_back(name);
  }
  closedir(directory);
  std::sort(names.begin(), names.end());
  return names;
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

}  // namespace

TextList DefaultRuntimeFolders() {
#if defined(__APPLE__)
  return {u"/Library/Java/JavaVirtualMachines", u"/usr/java", u"/opt/java", u"/usr/local/java"};
#else
  return {u"/usr/lib/jvm", u"/usr/java", u"/opt/java", u"/usr/local/java"};
#endif
}

bool ReadRuntimeFolder(const std::u16string& folder, RuntimeFolder& runtime) {
  std::string path = ToUtf8(folder);
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  if (!IsDirectory(path)) return false;
  // macOS bundles keep the runtime in Contents/Home.
  if (IsDirectory(path + "/Contents/Home")) path += "/Contents/Home";
  const std::string name = path.substr(path.rfind('/') + 1);

  std::ifstream release(path + "/release", std::ios::binary);
  const std::string content((std::istreambuf_iterator<char>(release)), std::istreambuf_iterator<char>());

  bool parsed = false;
  runtime.version = ParseVersion(FromUtf8(ReleaseFileValue(content, "JAVA_VERSION")), 0, &parsed);
  if (!parsed) runtime.version = ParseVersion(FromUtf8(name), 0);
  runtime.kind = IsDirectory(path + "/bin") && PathExists(FromUtf8(path + "/bin/javac"))
                     ? JavaKind::kJdk
                     : JavaKind::kJre;
  runtime.vendor = VendorFromImplementor(ReleaseFileValue(content, "IMPLEMENTOR"));
  // A JDK 8 keeps its runtime in the "jre" folder, as the registry's JDK 8
  // roots do on Windows.
  runtime.home = FromUtf8(path + "/");
  if (HasRuntimeMarker(runtime.home + u"jre/")) runtime.home += u"jre/";
  return true;
}

// The folders stand in for the registry roots of Windows: instead of a root
// telling the kind and vendor of all its entries, each runtime folder tells
// its own (bin/javac, IMPLEMENTOR), and "JVM Source" and "VM Provider" admit
// or skip it and mark it preferred by the same rules. The version range,
// the library check and the ranking are the same as there.
void CollectFolderCandidates(const RuntimeRequirements& requirements, const std::u16string& root,
                             JreCandidateList& list) {
  std::string rootPath = ToUtf8(root);
  while (rootPath.size() > 1 && rootPath.back() == '/') rootPath.pop_back();
  for (const std::string& name : SubfolderNames(rootPath)) {
    RuntimeFolder runtime;
    if (!ReadRuntimeFolder(FromUtf8(rootPath + "/" + name), runtime)) continue;
    if (!IsRuntimeSearched(requirements, runtime.kind, runtime.vendor)) continue;
    if (!IsAdmittedVersion(requirements, runtime.version)) continue;
    // A standard-vendor JRE is what the registry's "Java Runtime
    // Environment" root holds on Windows, where "favor_server" counts as no
    // preference when checking the home; the same applies here.
    const bool ignoresServerPreference =
        runtime.kind == JavaKind::kJre && runtime.vendor == JavaVendor::kSun;
    JreCandidate candidate;
    const int32_t kind = CandidateJvmKind(requirements, ignoresServerPreference);
    if (SelectJvmLibrary(runtime.home, kind, &candidate.isServerVm).empty()) continue;
    candidate.version = runtime.version;
    candidate.home = runtime.home;
    candidate.preferred = IsRuntimePreferred(requirements, runtime.kind, runtime.vendor);
    list.push_back(candidate);
  }
}

std::optional<InstalledRuntime> FindInRuntimeFolders(const RuntimeRequirements& runtime,
                                                     const TextList& roots) {
  JreCandidateList list;
  for (const std::u16string& root : roots) CollectFolderCandidates(runtime, root, list);
  return ChooseInstalledRuntime(list, runtime);
}

std::optional<InstalledRuntime> FindInstalledRuntime(const RuntimeRequirements& runtime,
                                                     bool alternateView) {
  if (alternateView) return std::nullopt;
  return FindInRuntimeFolders(runtime, DefaultRuntimeFolders());
}

}  // namespace javelin
