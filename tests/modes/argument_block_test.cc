#include "modes/argument_block.h"

#include <gtest/gtest.h>

namespace javelin {
namespace {

// What secondaryMain receives, the 1040-byte limit and a block that does not
// fit are shown end to end; here blocks no second instance of ours writes:
// a string still open at the end is dropped, UTF-16 units keep their value.
TEST(ArgumentBlock, DecodesOnlyWholeStrings) {
  const unsigned char open[] = {'a', 0, 0, 0, 'b', 0, 'c', 0};
  EXPECT_EQ(DecodeArgumentBlock(open, sizeof open), (TextList{u"a"}));
  const unsigned char highUnits[] = {0x3D, 0xD8, 0x00, 0xDE, 0, 0, 0, 0};
  EXPECT_EQ(DecodeArgumentBlock(highUnits, sizeof highUnits), (TextList{u"\U0001F600"}));
}

}  // namespace
}  // namespace javelin
