// The browser's "r,g,b" colour texts as the link reads them.
#include <gtest/gtest.h>

#include "ui/link_colour.h"

namespace javelin {
namespace {

TEST(LinkColour, ParsesLikeTheWideIntegerConversion) {
  const struct {
    const char16_t* text;
    std::optional<uint32_t> colour;
  } cases[] = {
      {u" 1, +2,\t3", 0x030201u},     // red first; blanks and a sign before the digits
      {u"12abc,34x,56;", 0x38220Cu},  // whatever follows the digits is ignored
      {u"red,green,blue", 0u},        // nothing readable counts as 0
      {u"0,0,257", 0x010000u},        // blue wraps around 256
      {u"0,0,-1", 0xFFFF0000u},       // ... keeping the sign of the remainder
      {u"300,0,0", 300u},             // red and green are not range-tested
      {u"99999999999,0,0", 0x7FFFFFFFu},  // saturates at the 32-bit maximum
      {u"255,0,0,7", 0x0000FFu},      // a fourth part is read as part of blue's rest
      {u"255,0, ", 0x0000FFu},        // a blank after the comma is something
      {u"255,0,", std::nullopt},      // nothing after the second comma
      {u"255,0", std::nullopt},       // one comma
      {u",,1", 0x010000u},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ParseLinkColour(c.text), c.colour)
        << std::string(c.text, c.text + std::char_traits<char16_t>::length(c.text));
  }
}

}  // namespace
}  // namespace javelin
