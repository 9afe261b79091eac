#include "config/version.h"

#include "base/message_table.h"
#include "base/text.h"

namespace javelin {

namespace {

constexpr int32_t kUnsetMaximumComponent = 65535;

bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

// Position of the first digit at or after `from`, or npos.
size_t NextDigit(const std::u16string& text, size_t from) {
  for (size_t i = from; i < text.size(); ++i) {
    if (IsDigit(text[i])) return i;
  }
  return std::u16string::npos;
}

bool AllComponentsAre(const VersionNumber& version, int32_t value) {
  for (int32_t component : version.components) {
    if (component != value) return false;
  }
  return true;
}

}  // namespace

VersionNumber ParseVersion(const std::u16string& text, int32_t fill, bool* ok) {
  VersionNumber version;
  if (ok) *ok = false;
  size_t position = NextDigit(text, 0);
  if (position == std::u16string::npos) return version;

  int read = 0;
  while (read < 4) {
    int64_t value = 0;
    while (position < text.size() && IsDigit(text[position])) {
      value = value * 10 + (text[position] - u'0');
      if (value > INT32_MAX) return VersionNumber{};
      ++position;
    }
    version.components[read++] = static_cast<int32_t>(value);
    // Any run of non-digits separates two components.
    position = NextDigit(text, position);
    if (position == std::u16string::npos) break;
  }
  for (int k = read; k < 4; ++k) version.components[k] = fill;
  if (ok) *ok = true;
  return version;
}

std::u16string FormatVersion(const VersionNumber& version) {
  int highest = -1;
  for (int i = 3; i >= 0; --i) {
    const int32_t component = version.components[i];
    if (component != 0 && component != kUnsetMaximumComponent) {
      highest = i;
      break;
    }
  }
  if (highest < 0) return u"0.0.0.0";
  const int last = highest < 1 ? 1 : highest;
  std::u16string text;
  for (int i = 0; i <= last; ++i) {
    if (i > 0) text.push_back(u'.');
    text += ToDecimal(version.components[i]);
  }
  return text;
}

int CompareVersions(const VersionNumber& a, const VersionNumber& b) {
  for (int i = 0; i < 4; ++i) {
    if (a.components[i] < b.components[i]) return -1;
    if (a.components[i] > b.components[i]) return 1;
  }
  return 0;
}

bool IsInVersionRange(const VersionNumber& version, const VersionNumber& minimum,
                      const VersionNumber& maximum) {
  return CompareVersions(version, maximum) <= 0 && CompareVersions(version, minimum) >= 0;
}

bool MatchesPreferredVersion(const VersionNumber& candidate, const VersionNumber& preferred) {
  // Trailing zero components of the preferred value were not given and
  // match anything.
  int significant = 4;
  while (significant > 0 && preferred.components[significant - 1] == 0) --significant;
  for (int i = 0; i < significant; ++i) {
    if (candidate.components[i] != preferred.components[i]) return false;
  }
  return true;
}

bool IsOpenVersionBound(const VersionNumber& bound) {
  return AllComponentsAre(bound, 0) || AllComponentsAre(bound, kUnsetMaximumComponent);
}

std::u16string BuildVersionRequirementText(const VersionNumber& minimum,
                                           const VersionNumber& maximum) {
  const bool minimumOpen = IsOpenVersionBound(minimum);
  const bool maximumOpen = IsOpenVersionBound(maximum);
  if (minimumOpen && maximumOpen) return LoadMessage(kMsgNewestVersion);
  if (minimumOpen) {
    return FormatMessageText(LoadMessage(kMsgMaximumVersion), {FormatVersion(maximum)});
  }
  if (maximumOpen) {
    return FormatMessageText(LoadMessage(kMsgMinimumVersion), {FormatVersion(minimum)});
  }
  if (CompareVersions(minimum, maximum) == 0) {
    return FormatMessageText(LoadMessage(kMsgExactVersion), {FormatVersion(minimum)});
  }
  return FormatMessageText(LoadMessage(kMsgVersionBetween),
                           {FormatVersion(minimum), FormatVersion(maximum)});
}

}  // namespace javelin
