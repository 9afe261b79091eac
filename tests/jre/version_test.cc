#include "jre/version.h"

#include <gtest/gtest.h>

#include <string>

namespace javelin {
namespace {

std::string Text(const VersionNumber& v) {
  return std::to_string(v.components[0]) + "." + std::to_string(v.components[1]) + "." +
         std::to_string(v.components[2]) + "." + std::to_string(v.components[3]);
}

std::string Parsed(const std::u16string& text, int32_t fill = 0) {
  return Text(ParseVersion(text, fill));
}

VersionNumber V(int a, int b, int c, int d) { return VersionNumber{{a, b, c, d}}; }

std::string ToNarrow(const std::u16string& text) { return std::string(text.begin(), text.end()); }

TEST(VersionNumbers, EveryFormOfAJavaVersionReducesToFourNumbers) {
  EXPECT_EQ(Parsed(u"1.8.0_291"), "1.8.0.291");
  EXPECT_EQ(Parsed(u"1.6.0-b12"), "1.6.0.12");
  EXPECT_EQ(Parsed(u"11.0.2"), "11.0.2.0");
  EXPECT_EQ(Parsed(u"11.0.2", 65535), "11.0.2.65535");
  EXPECT_EQ(Parsed(u"9"), "9.0.0.0");
  EXPECT_EQ(Parsed(u"9", 65535), "9.65535.65535.65535");
  EXPECT_EQ(Parsed(u"jdk-11.0.2+9"), "11.0.2.9");
  EXPECT_EQ(Parsed(u"jdk-17"), "17.0.0.0");
  // More than four numbers: the first four count.
  EXPECT_EQ(Parsed(u"1.8.0_291-b10"), "1.8.0.291");
  EXPECT_EQ(Parsed(u"1.8.0.291.5"), "1.8.0.291");
  // Different separators, one value.
  EXPECT_EQ(CompareVersions(ParseVersion(u"1.8.0_291", 0), ParseVersion(u"1.8.0.291", 0)), 0);
  EXPECT_EQ(CompareVersions(ParseVersion(u"1.8.0-291", 0), ParseVersion(u"1.8.0.291", 0)), 0);
  // Only ASCII digits count.
  EXPECT_EQ(Parsed(u"\u0661.\u0662 1"), "1.0.0.0");
}

TEST(VersionNumbers, TextsWithoutDigitsOrWithHugeNumbersFailAsZero) {
  for (const std::u16string& text : {std::u16string(), std::u16string(u"any"),
                                     std::u16string(u"CurrentVersion"),
                                     std::u16string(u"1.99999999999")}) {
    bool ok = true;
    EXPECT_EQ(Text(ParseVersion(text, 65535, &ok)), "0.0.0.0") << ToNarrow(text);
    EXPECT_FALSE(ok) << ToNarrow(text);
  }
  bool ok = false;
  EXPECT_EQ(Text(ParseVersion(u"1.2147483647", 0, &ok)), "1.2147483647.0.0");
  EXPECT_TRUE(ok);
}

TEST(VersionNumbers, ComparisonIsComponentwiseAndSigned) {
  EXPECT_LT(CompareVersions(V(1, 7, 0, 80), V(1, 8, 0, 0)), 0);
  EXPECT_GT(CompareVersions(V(11, 0, 0, 0), V(1, 8, 0, 291)), 0);
  EXPECT_GT(CompareVersions(V(1, 8, 0, 292), V(1, 8, 0, 291)), 0);
  EXPECT_LT(CompareVersions(V(-1, 0, 0, 0), V(0, 0, 0, 0)), 0);
  EXPECT_EQ(CompareVersions(V(1, 2, 3, 4), V(1, 2, 3, 4)), 0);
}

TEST(VersionNumbers, MaximumFilledWith65535AdmitsEveryUpdateOfTheNamedRelease) {
  const VersionNumber minimum = ParseVersion(u"1.6", 0);
  EXPECT_TRUE(IsInVersionRange(ParseVersion(u"1.8.0_291", 0), minimum, ParseVersion(u"1.8", 65535)));
  EXPECT_FALSE(IsInVersionRange(ParseVersion(u"1.9", 0), minimum, ParseVersion(u"1.8", 65535)));
  EXPECT_TRUE(IsInVersionRange(ParseVersion(u"1.8.0_291", 0), minimum, ParseVersion(u"1.8.0", 65535)));
  EXPECT_FALSE(IsInVersionRange(ParseVersion(u"1.8.1", 0), minimum, ParseVersion(u"1.8.0", 65535)));
  // Both bounds are inclusive.
  EXPECT_TRUE(IsInVersionRange(V(1, 6, 0, 0), minimum, V(1, 6, 0, 0)));
  EXPECT_FALSE(IsInVersionRange(V(1, 5, 0, 22), minimum, V(65535, 65535, 65535, 65535)));
  // "any" for both: everything below major 65535.
  const VersionNumber open = V(0, 0, 0, 0), top = V(65535, 65535, 65535, 65535);
  EXPECT_TRUE(IsInVersionRange(V(25, 0, 3, 0), open, top));
  EXPECT_TRUE(IsInVersionRange(V(0, 0, 0, 0), open, top));
  EXPECT_FALSE(IsInVersionRange(V(65536, 0, 0, 0), open, top));
  // A maximum that was never given stays 0.0.0.0 and is taken literally.
  EXPECT_FALSE(IsInVersionRange(V(1, 8, 0, 0), open, open));
  EXPECT_TRUE(IsInVersionRange(V(0, 0, 0, 0), open, open));
}

TEST(VersionNumbers, PreferredEntryMatchesOnTheComponentsItGives) {
  const VersionNumber entry18 = ParseVersion(u"1.8", 0);
  EXPECT_TRUE(MatchesPreferredVersion(V(1, 8, 0, 291), entry18));
  EXPECT_TRUE(MatchesPreferredVersion(V(1, 8, 0, 0), entry18));
  EXPECT_TRUE(MatchesPreferredVersion(V(1, 8, 0, 291), ParseVersion(u"1.8.0", 0)));
  EXPECT_FALSE(MatchesPreferredVersion(V(1, 7, 0, 80), entry18));
  EXPECT_TRUE(MatchesPreferredVersion(V(1, 8, 0, 291), ParseVersion(u"1.8.0.291", 0)));
  EXPECT_FALSE(MatchesPreferredVersion(V(1, 8, 0, 292), ParseVersion(u"1.8.0.291", 0)));
  // An entry that does not parse matches anything.
  EXPECT_TRUE(MatchesPreferredVersion(V(17, 0, 15, 0), ParseVersion(u"newest", 0)));
}

TEST(VersionNumbers, FormattingDropsUnsetTrailingComponentsButKeepsTwo) {
  EXPECT_EQ(FormatVersion(V(1, 8, 0, 291)), u"1.8.0.291");
  EXPECT_EQ(FormatVersion(V(1, 8, 0, 0)), u"1.8");
  EXPECT_EQ(FormatVersion(V(1, 6, 65535, 65535)), u"1.6");
  EXPECT_EQ(FormatVersion(V(9, 0, 0, 0)), u"9.0");
  EXPECT_EQ(FormatVersion(V(11, 0, 2, 0)), u"11.0.2");
  EXPECT_EQ(FormatVersion(V(0, 0, 0, 0)), u"0.0.0.0");
  EXPECT_EQ(FormatVersion(V(65535, 65535, 65535, 65535)), u"0.0.0.0");
  EXPECT_EQ(FormatVersion(V(9, 65535, 65535, 65535)), u"9.65535");
  EXPECT_EQ(FormatVersion(V(1, 65535, 3, 0)), u"1.65535.3");
  EXPECT_EQ(FormatVersion(V(-2, 0, 0, 0)), u"-2.0");
}

TEST(VersionNumbers, RequirementTextNamesTheAcceptedVersions) {
  const VersionNumber anyMinimum = V(0, 0, 0, 0), anyMaximum = V(65535, 65535, 65535, 65535);
  EXPECT_EQ(BuildVersionRequirementText(anyMinimum, anyMaximum), u"neueste Version");
  // A minimum that did not parse counts as open too.
  EXPECT_EQ(BuildVersionRequirementText(ParseVersion(u"any", 0), anyMaximum), u"neueste Version");
  EXPECT_EQ(BuildVersionRequirementText(anyMinimum, ParseVersion(u"1.8", 65535)),
            u"maximum Version 1.8");
  EXPECT_EQ(BuildVersionRequirementText(ParseVersion(u"11", 0), anyMaximum),
            u"minimum Version 11.0");
  EXPECT_EQ(BuildVersionRequirementText(ParseVersion(u"1.8.0_291", 0),
                                        ParseVersion(u"1.8.0_291", 65535)),
            u"Version 1.8.0.291 erforderlich");
  EXPECT_EQ(BuildVersionRequirementText(ParseVersion(u"1.8", 0), ParseVersion(u"1.8", 65535)),
            u"Version zwischen 1.8 und 1.8");
  EXPECT_EQ(BuildVersionRequirementText(ParseVersion(u"1.6", 0), ParseVersion(u"11", 65535)),
            u"Version zwischen 1.6 und 11.65535");
  EXPECT_TRUE(IsOpenVersionBound(anyMinimum));
  EXPECT_TRUE(IsOpenVersionBound(anyMaximum));
  EXPECT_FALSE(IsOpenVersionBound(V(0, 0, 0, 65535)));
}

}  // namespace
}  // namespace javelin
