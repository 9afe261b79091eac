#include "modes/argument_block.h"

#include <gtest/gtest.h>

#include <vector>

namespace javelin {
namespace {

// The block a second instance writes, read back over the whole area the
// first instance scans (two limits' worth of bytes). What secondaryMain
// receives for ordinary arguments is shown end to end; here the limits, a
// block that does not fit being left untouched, and blocks no second
// instance of ours writes (a string still open at the end is dropped).
TEST(ArgumentBlock, ForwardsWhatFitsAndDecodesOnlyWholeStrings) {
  const std::u16string k515(515, u'x');  // 1032 bytes with its zero unit
  const std::pair<TextList, bool> cases[] = {
      {{k515, u"ab"}, true},                // 1032 + 6 + 2 = 1040 bytes
      {{k515, u"abc"}, false},              // 1042 bytes
  };
  for (const auto& [arguments, fits] : cases) {
    std::vector<unsigned char> block(2 * kArgumentBlockLimit, 0);
    std::fill(block.begin(), block.begin() + kArgumentBlockLimit, 0xEE);  // the second half is never written
    const std::vector<unsigned char> before = block;
    EXPECT_EQ(EncodeArgumentBlock(arguments, block.data()), fits) << ArgumentBlockSize(arguments);
    if (fits) {
      EXPECT_EQ(DecodeArgumentBlock(block.data(), block.size() - 2), arguments);
    } else {
      EXPECT_EQ(block, before);  // nothing written
    }
  }
  const unsigned char open[] = {'a', 0, 0, 0, 'b', 0, 'c', 0};
  EXPECT_EQ(DecodeArgumentBlock(open, sizeof open), (TextList{u"a"}));
  const unsigned char highUnits[] = {0x3D, 0xD8, 0x00, 0xDE, 0, 0, 0, 0};
  EXPECT_EQ(DecodeArgumentBlock(highUnits, sizeof highUnits), (TextList{u"\U0001F600"}));
}

}  // namespace
}  // namespace javelin
