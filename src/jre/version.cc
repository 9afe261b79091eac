#include "jre/version.h"

namespace javelin {

VersionNumber ParseVersion(const std::u16string&, int32_t, bool* ok) { if (ok) *ok = false; return {}; }
std::u16string FormatVersion(const VersionNumber&) { return u"0.0.0.0"; }
int CompareVersions(const VersionNumber&, const VersionNumber&) { return 0; }
bool IsInVersionRange(const VersionNumber&, const VersionNumber&, const VersionNumber&) { return false; }
bool MatchesPreferredVersion(const VersionNumber&, const VersionNumber&) { return false; }
bool IsOpenVersionBound(const VersionNumber&) { return true; }
std::u16string BuildVersionRequirementText(const VersionNumber&, const VersionNumber&) { return {}; }

}  // namespace javelin
