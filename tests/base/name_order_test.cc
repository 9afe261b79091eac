#include "base/name_order.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "base/text.h"

namespace javelin {
namespace {

// The cases cover each cased script's upper-case mapping as a listing shows it.
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
  };
  for (const auto& test : cases) {
    std::vector<std::u16string> names = test.names;
    std::sort(names.begin(), names.end(), [](const std::u16string& a, const std::u16string& b) {
      return PrecedesInDirectoryOrder(a, b);
    });
    EXPECT_EQ(names, test.listed) << ToUtf8(test.names.front());
  }
}

}  // namespace
}  // namespace javelin
