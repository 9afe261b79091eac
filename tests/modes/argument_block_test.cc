#include "modes/argument_block.h"

#include <gtest/gtest.h>

#include <vector>

namespace javelin {
namespace {

// What secondaryMain receives for the arguments of a second instance: the
// block is written as a second instance does and read back over the whole
// area the first instance scans (two limits' worth of bytes).
TEST(ArgumentBlock, ForwardsWhatFitsAndStopsAtAnEmptyArgumentAfterTheFirst) {
  const std::u16string k515(515, u'x');  // 1032 bytes with its zero unit
  const struct {
    TextList arguments;
    bool fits;
    TextList received;
  } cases[] = {
      {{}, true, {u""}},
      {{u"one", u"", u"two"}, true, {u"one"}},
      {{u"", u"two"}, true, {u"", u"two"}},
      {{u"a b", u"Gr\u00FC\u00DFe", u"\U0001F600", u"\u4E2D"}, true, {u"a b", u"Gr\u00FC\u00DFe", u"\U0001F600", u"\u4E2D"}},
      {{k515, u"ab"}, true, {k515, u"ab"}},    // 1032 + 6 + 2 = 1040 bytes
      {{k515, u"abc"}, false, {}},             // 1042 bytes
      {{std::u16string(518, u'y')}, true, {std::u16string(518, u'y')}},  // 1038 + 2 = 1040
      {{std::u16string(519, u'y')}, false, {}},
  };
  for (const auto& test : cases) {
    std::vector<unsigned char> block(2 * kArgumentBlockLimit, 0xEE);
    // The second half of the area is never written by anyone.
    std::fill(block.begin() + kArgumentBlockLimit, block.end(), 0);
    const std::vector<unsigned char> before = block;
    const bool fits = EncodeArgumentBlock(test.arguments, block.data());
    EXPECT_EQ(fits, test.fits) << ArgumentBlockSize(test.arguments);
    if (!fits) {
      EXPECT_EQ(block, before);  // nothing written
      continue;
    }
    EXPECT_EQ(DecodeArgumentBlock(block.data(), block.size() - 2), test.received);
  }
}

// Blocks that no second instance of ours writes: stale bytes and a string
// that runs to the end of the area.
TEST(ArgumentBlock, AStringStillOpenAtTheEndIsDropped) {
  const unsigned char open[] = {'a', 0, 0, 0, 'b', 0, 'c', 0};
  EXPECT_EQ(DecodeArgumentBlock(open, sizeof open), (TextList{u"a"}));
  const unsigned char closedAtTheEnd[] = {'a', 0, 0, 0, 'b', 0, 0, 0};
  EXPECT_EQ(DecodeArgumentBlock(closedAtTheEnd, sizeof closedAtTheEnd), (TextList{u"a", u"b"}));
  const unsigned char highUnits[] = {0x3D, 0xD8, 0x00, 0xDE, 0, 0, 0, 0};
  EXPECT_EQ(DecodeArgumentBlock(highUnits, sizeof highUnits), (TextList{u"\U0001F600"}));
}

}  // namespace
}  // namespace javelin
