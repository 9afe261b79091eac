// What the installed-runtimes source shares on every platform: which kinds
// and vendors of runtime the settings let it search, which count as
// preferred, and the choice among the candidates found.
#pragma once

#include <optional>
#include <string>

#include "config/settings.h"
#include "jre/jvm_library.h"

namespace javelin {

enum class JavaKind { kJdk, kJre };
enum class JavaVendor { kSun, kJRockit, kIbm };

// One installed runtime the source picked.
struct InstalledRuntime {
  std::u16string home;  // ends in the path separator
  VersionNumber version;
};

// "JVM Source" admits the kind (both kinds allowed, or the kind's own flag)
// and "VM Provider" the vendor (allowed or preferred).
bool IsRuntimeSearched(const RuntimeRequirements& runtime, JavaKind kind, JavaVendor vendor);

// Why the settings pass over a runtime of this kind, vendor and version (for
// the launch trace); empty when they admit it.
std::u16string WhyNotAdmitted(const RuntimeRequirements& runtime, JavaKind kind, JavaVendor vendor,
                              const VersionNumber& version);

// The kind and the vendor are both preferred.
bool IsRuntimePreferred(const RuntimeRequirements& runtime, JavaKind kind, JavaVendor vendor);

// The version lies between "Minimum Version" and "Maximum Version", both
// inclusive. A maximum of 0.0.0.0 (the setting absent, empty or without
// digits) sets no upper bound, as the requirement text already reads it.
bool IsAdmittedVersion(const RuntimeRequirements& runtime, const VersionNumber& version);

// The "JVM Type" used to check a candidate's home; "favor_server" counts as
// no preference where `ignoresServerPreference` is set.
int32_t CandidateJvmKind(const RuntimeRequirements& runtime, bool ignoresServerPreference);

// How the settings rank the candidates.
RankingPolicy RankingPolicyOf(const RuntimeRequirements& runtime);

// Ranks the collected candidates and picks one; nothing for an empty list.
std::optional<InstalledRuntime> ChooseInstalledRuntime(JreCandidateList& list,
                                                       const RuntimeRequirements& runtime);

// Installed runtimes: the registry on Windows, the Java installation folders
// elsewhere. `alternateView` is the 64-bit registry view (Windows, searched
// only with a pair launcher); on POSIX there is only one view and the
// alternate one finds nothing.
std::optional<InstalledRuntime> FindInstalledRuntime(const RuntimeRequirements& runtime,
                                                     bool alternateView);

}  // namespace javelin
