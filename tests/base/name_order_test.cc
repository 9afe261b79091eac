#include "base/name_order.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "base/text.h"

namespace javelin {
namespace {

TEST(DirectoryOrder, NamesSortByTheirUpperCaseUnitsAsNtfsListsThem) {
  const struct {
    std::vector<std::u16string> names;
    std::vector<std::u16string> listed;
  } cases[] = {
      // Case does not count; '_' (5F) comes after the upper-case letters,
      // where a byte order would put it before the lower-case ones.
      {{u"b.jar", u"_x.jar", u"A.jar", u"c.jar"}, {u"A.jar", u"b.jar", u"c.jar", u"_x.jar"}},
      // A prefix comes first; '-' (2D) and '.' (2E) before the digits.
      {{u"lib10.jar", u"lib1.jar", u"lib-a.jar", u"lib", u"lib.jar"},
       {u"lib", u"lib-a.jar", u"lib.jar", u"lib1.jar", u"lib10.jar"}},
      // Names equal but for case (only on case-sensitive disks) by their units.
      {{u"a.jar", u"A.jar", u"B.jar"}, {u"A.jar", u"a.jar", u"B.jar"}},
      // Latin-1 and Latin Extended letters sort by their upper case, after ASCII.
      {{u"\u00E9t\u00E9", u"\u00C9ta", u"zeta", u"\u017Emo", u"\u0160a"},
       {u"zeta", u"\u00C9ta", u"\u00E9t\u00E9", u"\u0160a", u"\u017Emo"}},
      // Cyrillic and Greek lower case meet their upper case.
      {{u"\u044F", u"\u0411", u"\u0430", u"\u0451", u"\u03C9", u"\u0391"},
       {u"\u0391", u"\u03C9", u"\u0451", u"\u0430", u"\u0411", u"\u044F"}},
      // UTF-16 units, not code points: a pair of surrogates (D8xx) comes
      // before U+E000..U+FFFF, which UTF-8 bytes would put first.
      {{u"\uFF21", u"\U0001F600", u"\u4E2D"}, {u"\u4E2D", u"\U0001F600", u"\uFF21"}},
      // Full-width letters fold among themselves only.
      {{u"\uFF42", u"\uFF21", u"B"}, {u"B", u"\uFF21", u"\uFF42"}},
  };
  for (const auto& test : cases) {
    std::vector<std::u16string> names = test.names;
    std::sort(names.begin(), names.end(),
              [](const std::u16string& a, const std::u16string& b) { return PrecedesInDirectoryOrder(a, b); });
    EXPECT_EQ(names, test.listed) << ToUtf8(test.names.front());
  }
}

TEST(DirectoryOrder, UpperCaseCoversTheCasedScriptsAndLeavesTheRest) {
  const std::pair<char16_t, char16_t> cases[] = {
      {u'a', u'A'}, {u'z', u'Z'}, {u'A', u'A'}, {u'_', u'_'}, {u'1', u'1'},
      {0x00E4, 0x00C4}, {0x00F7, 0x00F7}, {0x00FF, 0x0178}, {0x00DF, 0x00DF},  // ß has no single upper unit
      {0x0101, 0x0100}, {0x0100, 0x0100}, {0x013A, 0x0139}, {0x0148, 0x0147}, {0x017E, 0x017D},
      {0x0131, 0x0131}, {0x017F, 0x017F},  // no folding into ASCII
      {0x01CE, 0x01CD}, {0x0219, 0x0218},
      {0x03B1, 0x0391}, {0x03C2, 0x03A3}, {0x03C3, 0x03A3}, {0x03AC, 0x0386}, {0x03CE, 0x038F},
      {0x0430, 0x0410}, {0x044F, 0x042F}, {0x0451, 0x0401}, {0x045F, 0x040F}, {0x0491, 0x0490},
      {0x04C2, 0x04C1}, {0x04CF, 0x04C0}, {0x04D1, 0x04D0},
      {0x0561, 0x0531}, {0x1E9B, 0x1E9B}, {0x1EFF, 0x1EFE}, {0x2170, 0x2160}, {0x24E9, 0x24CF},
      {0xFF41, 0xFF21}, {0xFF5A, 0xFF3A}, {0xD83D, 0xD83D}, {0x4E2D, 0x4E2D},
  };
  for (const auto& [unit, upper] : cases) {
    EXPECT_EQ(static_cast<int>(UpcaseFileNameUnit(unit)), static_cast<int>(upper)) << std::hex << unit;
  }
}

}  // namespace
}  // namespace javelin
