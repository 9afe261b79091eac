#include "config/version.h"

#include <gtest/gtest.h>

#include <string>

#include "base/text.h"

namespace javelin {
namespace {

VersionNumber V(int a, int b, int c, int d) { return VersionNumber{{a, b, c, d}}; }
VersionNumber P(const char16_t* text, int32_t fill = 0) { return ParseVersion(text, fill); }
const VersionNumber kZero = V(0, 0, 0, 0), kTop = V(65535, 65535, 65535, 65535);

TEST(VersionNumbers, ParsingReducesEveryJavaVersionToFourNumbers) {
  const struct {
    const char16_t* text;
    int32_t fill;
    VersionNumber expected;
    bool ok;
  } cases[] = {
      {u"1.8.0_291-b10", 0, V(1, 8, 0, 291), true},  // the first four numbers count
      {u"jdk-11.0.2+9", 0, V(11, 0, 2, 9), true},
      {u"9", 65535, V(9, 65535, 65535, 65535), true},
      {u"\u0661.\u0662 1", 0, V(1, 0, 0, 0), true},  // only ASCII digits
      {u"1.2147483647", 0, V(1, 2147483647, 0, 0), true},
      {u"1.99999999999", 65535, kZero, false},
      {u"CurrentVersion", 65535, kZero, false},
  };
  for (const auto& c : cases) {
    bool ok = !c.ok;
    const VersionNumber parsed = ParseVersion(c.text, c.fill, &ok);
    EXPECT_EQ(CompareVersions(parsed, c.expected), 0)
        << ToUtf8(c.text) << " -> " << ToUtf8(FormatVersion(parsed));
    EXPECT_EQ(ok, c.ok) << ToUtf8(c.text);
  }
}

TEST(VersionNumbers, RangesAreInclusiveAndPreferredEntriesMatchTheirGivenParts) {
  const struct {
    VersionNumber version, minimum, maximum;
    bool in;
  } ranges[] = {
      {V(1, 8, 0, 291), P(u"1.6"), P(u"1.8", 65535), true},  // every 1.8 update
      {V(1, 8, 1, 0), P(u"1.6"), P(u"1.8.0", 65535), false},
      {V(1, 6, 0, 0), P(u"1.6"), V(1, 6, 0, 0), true},
      {V(65536, 0, 0, 0), kZero, kTop, false},
  };
  for (const auto& r : ranges) {
    EXPECT_EQ(IsInVersionRange(r.version, r.minimum, r.maximum), r.in)
        << ToUtf8(FormatVersion(r.version));
  }
  const struct {
    VersionNumber candidate;
    const char16_t* entry;
    bool matches;
  } preferred[] = {
      {V(1, 8, 0, 291), u"1.8", true},
      {V(1, 8, 0, 292), u"1.8.0.291", false},
      {V(17, 0, 15, 0), u"newest", true},
  };
  for (const auto& p : preferred) {
    EXPECT_EQ(MatchesPreferredVersion(p.candidate, P(p.entry)), p.matches) << ToUtf8(p.entry);
  }
}

// Trailing zeros (and 65535 fillers) go, but never below two numbers.
TEST(VersionNumbers, FormattingAndRequirementTexts) {
  const struct {
    VersionNumber version;
    const char16_t* text;
  } formats[] = {
      {V(1, 8, 0, 291), u"1.8.0.291"},   {V(1, 6, 65535, 65535), u"1.6"},
      {V(9, 0, 0, 0), u"9.0"},           {kTop, u"0.0.0.0"},
      {V(1, 65535, 3, 0), u"1.65535.3"},
  };
  for (const auto& f : formats) EXPECT_EQ(FormatVersion(f.version), f.text);
  const struct {
    VersionNumber minimum, maximum;
    const char16_t* text;
  } requirements[] = {
      {kZero, kTop, u"neueste Version"},
      {kZero, P(u"1.8", 65535), u"maximum Version 1.8"},
      {P(u"1.8.0_291"), P(u"1.8.0_291", 65535), u"Version 1.8.0.291 erforderlich"},
      {P(u"1.6"), P(u"11", 65535), u"Version zwischen 1.6 und 11.65535"},
  };
  for (const auto& r : requirements) {
    EXPECT_EQ(BuildVersionRequirementText(r.minimum, r.maximum), r.text) << ToUtf8(r.text);
  }
}

}  // namespace
}  // namespace javelin
