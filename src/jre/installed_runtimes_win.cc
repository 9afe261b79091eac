#include "jre/installed_runtimes_win.h"

#include <windows.h>

#include "base/file_system.h"
#include "base/trace.h"
#include "base/win_support.h"

namespace javelin {

namespace {

// The default view is the registry of the launcher's own bitness; the
// alternate view is the 64-bit one.
REGSAM KeyAccess(bool alternateView) {
  return alternateView ? (KEY_READ | KEY_WOW64_64KEY) : KEY_READ;
}

// The key below HKEY_LOCAL_MACHINE; owns nothing when it cannot be opened.
ScopedRegistryKey OpenRegistryKey(const std::u16string& path, bool alternateView) {
  ScopedRegistryKey key;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, W(path), 0, KeyAccess(alternateView), key.Receive()) !=
      ERROR_SUCCESS) {
    key.Release();
  }
  return key;
}

// The subkey names of `key` in enumeration order, up to the first failing
// enumeration call.
TextList SubkeyNames(HKEY key) {
  TextList names;
  if (key == nullptr) return names;
  for (DWORD index = 0;; ++index) {
    wchar_t name[520];
    DWORD length = 520;
    if (RegEnumKeyExW(key, index, name, &length, nullptr, nullptr, nullptr, nullptr) !=
        ERROR_SUCCESS) {
      break;
    }
    names.emplace_back(reinterpret_cast<const char16_t*>(name), length);
  }
  return names;
}

// The "JavaHome" value as text, whatever its registry type; false when it
// is missing or empty.
bool QueryJavaHome(HKEY key, std::u16string& value) {
  if (key == nullptr) return false;
  DWORD size = 0;
  if (RegQueryValueExW(key, L"JavaHome", nullptr, nullptr, nullptr, &size) != ERROR_SUCCESS ||
      size == 0) {
    return false;
  }
  std::u16string data((size + 1) / sizeof(char16_t) + 1, u'\0');
  if (RegQueryValueExW(key, L"JavaHome", nullptr, nullptr, reinterpret_cast<BYTE*>(&data[0]),
                       &size) != ERROR_SUCCESS) {
    return false;
  }
  data.resize(size / sizeof(char16_t));
  // Text up to the first terminating zero.
  const size_t end = data.find(u'\0');
  if (end != std::u16string::npos) data.resize(end);
  value = data;
  return true;
}

}  // namespace

std::vector<RegistryRoot> DefaultRegistryRoots() {
  return {
      {u"Software\\JavaSoft\\JDK\\", JavaKind::kJdk, JavaVendor::kSun, false, false},
      {u"Software\\JavaSoft\\JRE\\", JavaKind::kJre, JavaVendor::kSun, false, false},
      {u"Software\\JavaSoft\\Java Development Kit\\", JavaKind::kJdk, JavaVendor::kSun, true,
       false},
      {u"Software\\JavaSoft\\Java Runtime Environment\\", JavaKind::kJre, JavaVendor::kSun, false,
       true},
      {u"Software\\JRockit\\Java Runtime Environment\\", JavaKind::kJre, JavaVendor::kJRockit,
       false, false},
      {u"Software\\JRockit\\Java Development Kit\\", JavaKind::kJdk, JavaVendor::kJRockit, true,
       false},
      {u"Software\\IBM\\Java2 Runtime Environment\\", JavaKind::kJre, JavaVendor::kIbm, false,
       false},
  };
}

bool ReadRegistryCandidate(const RuntimeRequirements& runtime, const RegistryRoot& root,
                           const std::u16string& name, bool alternateView, std::u16string& home,
                           bool& isServerVm) {
  const ScopedRegistryKey key = OpenRegistryKey(root.key + name, alternateView);
  std::u16string value;
  if (!QueryJavaHome(key.get(), value)) return false;
  if (value.empty() || value.back() != kPathSeparator) value.push_back(kPathSeparator);
  if (root.homeInJreFolder) value += u"jre\\";
  const int32_t kind = CandidateJvmKind(runtime, root.ignoresServerPreference);
  if (SelectJvmLibrary(value, kind, &isServerVm).empty()) return false;
  home = value;
  return true;
}

void CollectRegistryCandidates(const RuntimeRequirements& runtime, const RegistryRoot& root,
                               bool alternateView, JreCandidateList& list) {
  const bool preferred = IsRuntimePreferred(runtime, root.kind, root.vendor);
  const ScopedRegistryKey key = OpenRegistryKey(root.key, alternateView);
  for (const std::u16string& name : SubkeyNames(key.get())) {
    // Names without digits give 0.0.0.0 and still take part.
    const VersionNumber version = ParseVersion(name, 0);
    const std::u16string seen = u"candidate HKLM\\" + root.key + name + u": ";
    if (!IsAdmittedVersion(runtime, version)) {
      Trace(seen + u"passed over, version out of range");
      continue;
    }
    JreCandidate candidate;
    if (!ReadRegistryCandidate(runtime, root, name, alternateView, candidate.home,
                               candidate.isServerVm)) {
      Trace(seen +
            u"passed over, no \"JavaHome\" with a JVM library of the kind \"JVM Type\" asks for");
      continue;
    }
    Trace(seen + u"admitted, " + Quoted(candidate.home));
    candidate.version = version;
    candidate.preferred = preferred;
    list.push_back(candidate);
  }
}

std::optional<InstalledRuntime> FindInRegistry(const RuntimeRequirements& runtime,
                                               const std::vector<RegistryRoot>& roots,
                                               bool alternateView) {
  if (alternateView && runtime.pairProduct.empty()) return std::nullopt;
  JreCandidateList list;
  for (const RegistryRoot& root : roots) {
    if (IsRuntimeSearched(runtime, root.kind, root.vendor)) {
      CollectRegistryCandidates(runtime, root, alternateView, list);
    } else {
      Trace(u"registry key HKLM\\" + root.key +
            u": not searched, \"JVM Source\" or \"VM Provider\" excludes it");
    }
  }
  return ChooseInstalledRuntime(list, runtime);
}

std::optional<InstalledRuntime> FindInstalledRuntime(const RuntimeRequirements& runtime,
                                                     bool alternateView) {
  return FindInRegistry(runtime, DefaultRegistryRoots(), alternateView);
}

}  // namespace javelin
