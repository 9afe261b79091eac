// What the installed-runtimes source shares on every platform: which kinds
// and vendors of runtime the settings let it search, which count as
// preferred, and how the final choice is recorded in the launcher.
#pragma once

#include <string>

#include "jre/jvm_library.h"

namespace javelin {

class Launcher;

enum class JavaKind { kJdk, kJre };
enum class JavaVendor { kSun, kJRockit, kIbm };

// "JVM Source" admits the kind (both kinds allowed, or the kind's own flag)
// and "VM Provider" the vendor (allowed or preferred).
bool IsRuntimeSearched(const Launcher& launcher, JavaKind kind, JavaVendor vendor);

// The kind and the vendor are both preferred.
bool IsRuntimePreferred(const Launcher& launcher, JavaKind kind, JavaVendor vendor);

// The version lies between "Minimum Version" and "Maximum Version", both
// inclusive. A maximum of 0.0.0.0 (the setting absent, empty or without
// digits) sets no upper bound, as the requirement text already reads it.
bool IsAdmittedVersion(const Launcher& launcher, const VersionNumber& version);

// The "JVM Type" used to check a candidate's home; "favor_server" counts as
// no preference where `ignoresServerPreference` is set.
int32_t CandidateJvmKind(const Launcher& launcher, bool ignoresServerPreference);

// Picks from the collected candidates (false for none), stores the chosen
// version as the launcher's selected version and, for the alternate view,
// marks the launch for the pair launcher.
bool ChooseInstalledRuntime(Launcher& launcher, JreCandidateList& list, bool alternateView,
                            std::u16string& home, VersionNumber& version);

}  // namespace javelin
