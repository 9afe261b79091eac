// Java version values: four signed 32-bit components, lenient parsing with a
// fill value for missing components, lexicographic comparison.
#pragma once

#include <cstdint>
#include <string>

namespace javelin {

struct VersionNumber {
  int32_t components[4] = {0, 0, 0, 0};
};

// Reads the first four runs of decimal digits of `text`; components not read
// get `fill`. On failure (no digit, or a component above 2147483647) the value
// is 0.0.0.0 and `ok` is false.
VersionNumber ParseVersion(const std::u16string& text, int32_t fill, bool* ok = nullptr);
std::u16string FormatVersion(const VersionNumber& version);
int CompareVersions(const VersionNumber& a, const VersionNumber& b);
bool IsInVersionRange(const VersionNumber& version, const VersionNumber& minimum,
                      const VersionNumber& maximum);
bool MatchesPreferredVersion(const VersionNumber& candidate, const VersionNumber& preferred);
// A bound whose components are all 0 or all 65535.
bool IsOpenVersionBound(const VersionNumber& bound);
// The text of messages 217 to 221 describing the accepted versions.
std::u16string BuildVersionRequirementText(const VersionNumber& minimum,
                                           const VersionNumber& maximum);

}  // namespace javelin
