// The installed-runtimes source on Windows: the Java keys below
// HKEY_LOCAL_MACHINE. The roots are a parameter so that tests can point the
// search at keys of their own.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "jre/installed_runtimes.h"

namespace javelin {

struct RegistryRoot {
  std::u16string key;  // below HKEY_LOCAL_MACHINE, ending in '\'
  JavaKind kind;
  JavaVendor vendor;
  // JDK 8 style: the runtime lives in the "jre\" folder below "JavaHome".
  bool homeInJreFolder = false;
  // "favor_server" counts as no preference when checking homes of this root.
  bool ignoresServerPreference = false;
};

// The seven Java roots in their search order.
std::vector<RegistryRoot> DefaultRegistryRoots();

// The home of the installation registered as subkey `name` of `root`, and
// whether the JVM library found there is the server VM. False when the
// subkey has no "JavaHome" or the home has no suitable JVM library.
bool ReadRegistryCandidate(const RuntimeRequirements& runtime, const RegistryRoot& root,
                           const std::u16string& name, bool alternateView, std::u16string& home,
                           bool& isServerVm);

// Appends the installations of one root that lie in the version range.
void CollectRegistryCandidates(const RuntimeRequirements& runtime, const RegistryRoot& root,
                               bool alternateView, JreCandidateList& list);

// Searches the roots that "JVM Source" and "VM Provider" enable and picks
// one installation. The alternate (64-bit) view is searched only when
// "Pair Product" is set.
std::optional<InstalledRuntime> FindInRegistry(const RuntimeRequirements& runtime,
                                               const std::vector<RegistryRoot>& roots,
                                               bool alternateView);

}  // namespace javelin
