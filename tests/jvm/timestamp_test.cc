// One table for both formatters: Windows formats the pictures with its own
// locale functions (en-US), POSIX with Javelin's formatter.
#include "jvm/timestamp.h"

#include <gtest/gtest.h>

#include "base/text.h"

namespace javelin {
namespace {

// year, month, day of week (worked out by the formatters), day, hour,
// minute, second, milliseconds
const LocalTime kFridayMorning{2026, 12, 0, 4, 7, 52, 9, 45};
const LocalTime kSundayMidnight{2005, 1, 0, 9, 0, 5, 3, 7};
const LocalTime kLeapDayNoon{2024, 2, 0, 29, 12, 30, 0, 999};

TEST(Timestamp, PicturesBetweenPercentSignsNameTheFileAfterTheTime) {
  const struct {
    const LocalTime& time;
    const char16_t* fileName;
    const char16_t* expected;
  } cases[] = {
      {kFridayMorning, u"C:\\logs\\run_%yyyyMMdd-h.m.s%.log", u"C:\\logs\\run_20261204-7.52.9.log"},
      // Milliseconds are not padded, the doubled letters are.
      {kSundayMidnight, u"%HH:mm:ss.L%", u"00:05:03.7"},
      // The 12-hour clock at midnight and noon; the date pass then reads the
      // M of "AM"; longer runs count as the longest form.
      {kSundayMidnight, u"%h:hh:H:HH:t:tt%", u"12:12:0:00:A:A1"},
      {kLeapDayNoon, u"%h hhh H HH tt t%", u"12 12 12 12 P2 P"},
      // The date pictures, with the names in English.
      {kFridayMorning, u"%d dd ddd dddd M MM MMM MMMM%", u"4 04 Fri Friday 12 12 Dec December"},
      {kFridayMorning, u"%y yy yyy yyyy yyyyy%", u"26 26 2026 2026 2026"},
      // Quotes protect text from the time pass, which drops them; the date
      // pass then sees the text bare.
      {kFridayMorning, u"%dd'MM'yy%", u"041226"},
      {kFridayMorning, u"%'it''s' 'x''%", u"its x"},
      {kFridayMorning, u"%HH'mm%", u"07mm"},
      // Only the text between the first and the last '%' is a picture.
      {kFridayMorning, u"a%HH%b%mm%c", u"a07%b%52c"},
      {kFridayMorning, u"one%percent", u"onepercent"},
      {kFridayMorning, u"%HH\u00b7mm\u00b7ss%", u"07\u00b752\u00b709"},
  };
  for (const auto& test : cases) {
    EXPECT_EQ(ToUtf8(ExpandTimestamp(test.fileName, test.time)), ToUtf8(test.expected))
        << ToUtf8(test.fileName);
  }
}

// The clock gives only valid times; what limits a picture is the room for
// its result.
TEST(Timestamp, APictureWhoseResultHasNoRoomStaysAsWritten) {
  // A result needs room in 260 characters with the terminating null.
  std::u16string picture, expected;
  for (int i = 0; i < 36; ++i) picture += u"dddd,", expected += u"Friday,";  // 252 characters
  EXPECT_EQ(FormatDatePicture(picture, kFridayMorning), expected);
  const std::u16string padding(257, u'x');
  EXPECT_EQ(FormatTimePicture(u"H" + padding + u"H", kFridayMorning), u"7" + padding + u"7");
  EXPECT_EQ(FormatTimePicture(u"HH" + padding + u"H", kFridayMorning), u"HH" + padding + u"H");
  EXPECT_EQ(FormatDatePicture(u"d" + padding + u"d", kFridayMorning), u"4" + padding + u"4");
  EXPECT_EQ(ExpandTimestamp(u"run%HH" + padding + u"H%.log", kFridayMorning),
            u"runHH" + padding + u"H.log");
}

}  // namespace
}  // namespace javelin
