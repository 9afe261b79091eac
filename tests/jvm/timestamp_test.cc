// The same table holds on Windows, where the system's own locale functions
// format the pictures (en-US), and on POSIX, where Javelin's formatter does.
#include "jvm/timestamp.h"

#include <gtest/gtest.h>

#include "base/text.h"

namespace javelin {
namespace {

LocalTime MakeTime(int year, int month, int day, int hour, int minute, int second,
                   int milliseconds) {
  LocalTime time;
  time.year = year;
  time.month = month;
  time.day = day;
  time.hour = hour;
  time.minute = minute;
  time.second = second;
  time.milliseconds = milliseconds;
  time.dayOfWeek = 0;  // the formatters work the weekday out themselves
  return time;
}

const LocalTime kFridayMorning = MakeTime(2026, 12, 4, 7, 52, 9, 45);
const LocalTime kFridayEvening = MakeTime(2026, 12, 4, 19, 2, 9, 0);
const LocalTime kSundayMidnight = MakeTime(2005, 1, 9, 0, 5, 3, 7);
const LocalTime kLeapDayNoon = MakeTime(2024, 2, 29, 12, 30, 0, 999);

struct Case {
  const LocalTime* time;
  const char16_t* fileName;
  const char16_t* expected;
};

const Case kCases[] = {
    {&kFridayMorning, u"C:\\logs\\run_%yyyyMMdd-HHmmss%.log", u"C:\\logs\\run_20261204-075209.log"},
    {&kFridayMorning, u"/var/log/run_%yyyy-MM-dd_HH.mm.ss%.log", u"/var/log/run_2026-12-04_07.52.09.log"},
    // Milliseconds are not padded.
    {&kFridayMorning, u"%HHmmssL%", u"07520945"},
    {&kSundayMidnight, u"%HH:mm:ss.L%", u"00:05:03.7"},
    {&kLeapDayNoon, u"%sL%", u"0999"},
    // Every time picture; the date pass then reads the M of "AM".
    {&kFridayMorning, u"%h hh H HH m mm s ss t tt%", u"7 07 7 07 52 52 9 09 A A12"},
    {&kSundayMidnight, u"%h:hh:H:HH:t:tt%", u"12:12:0:00:A:A1"},
    {&kLeapDayNoon, u"%h hh H HH tt t%", u"12 12 12 12 P2 P"},
    {&kFridayEvening, u"%t tt h%", u"P P12 7"},
    // Longer runs count as the longest form.
    {&kFridayMorning, u"%hhh HHH mmm sss ttt%", u"07 07 52 09 A12"},
    // Every date picture, with the names in English.
    {&kFridayMorning, u"%d dd ddd dddd%", u"4 04 Fri Friday"},
    {&kFridayMorning, u"%M MM MMM MMMM%", u"12 12 Dec December"},
    {&kFridayMorning, u"%y yy yyy yyyy yyyyy%", u"26 26 2026 2026 2026"},
    {&kSundayMidnight, u"%y-yy%", u"05-05"},
    {&kFridayMorning, u"%dddddd MMMMM%", u"Friday December"},
    {&kFridayMorning, u"%g gg%", u"AD ADAD"},
    {&kSundayMidnight, u"%y.yy.yyyy d dd ddd dddd M MM MMM MMMM%",
     u"05.05.2005 9 09 Sun Sunday 1 01 Jan January"},
    {&kLeapDayNoon, u"%dddd MMMM d, yyyy%", u"Thursday February 29, 2024"},
    // Quotes protect text from the time pass, which drops them; the date
    // pass then sees the text bare.
    {&kFridayMorning, u"%'HH'mm%", u"HH52"},
    {&kFridayMorning, u"%dd'MM'yy%", u"041226"},
    {&kFridayMorning, u"%HH''mm%", u"0752"},
    {&kFridayMorning, u"%'it''s' 'x''%", u"its x"},
    {&kFridayMorning, u"%HH'mm%", u"07mm"},
    // Only the text between the first and the last '%' is a picture.
    {&kFridayMorning, u"a%HH%b%mm%c", u"a07%b%52c"},
    {&kFridayMorning, u"one%percent", u"onepercent"},
    {&kFridayMorning, u"x%%y", u"xy"},
    {&kFridayMorning, u"plain.log", u"plain.log"},
    {&kFridayMorning, u"%HH\u00b7mm\u00b7ss%", u"07\u00b752\u00b709"},
};

TEST(Timestamp, PicturesBetweenPercentSignsNameTheFileAfterTheTime) {
  for (const Case& c : kCases) {
    EXPECT_EQ(ToUtf8(ExpandTimestamp(c.fileName, *c.time)), ToUtf8(c.expected))
        << "picture " << ToUtf8(c.fileName);
  }
}

TEST(Timestamp, EachPassHandlesItsOwnLettersAndQuotes) {
  EXPECT_EQ(FormatTimePicture(u"yyyyMMdd-HHmmss", kFridayMorning), u"yyyyMMdd-075209");
  EXPECT_EQ(FormatDatePicture(u"yyyyMMdd-HHmmss", kFridayMorning), u"20261204-HHmmss");
  EXPECT_EQ(FormatTimePicture(u"'a''b'c", kFridayMorning), u"a'bc");
  EXPECT_EQ(FormatDatePicture(u"a'bc", kFridayMorning), u"abc");
  EXPECT_EQ(FormatTimePicture(u"''''", kFridayMorning), u"'");
  EXPECT_EQ(FormatDatePicture(u"'", kFridayMorning), u"");
  EXPECT_EQ(FormatTimePicture(u"", kFridayMorning), u"");
}

TEST(Timestamp, APictureThatCannotBeFormattedStaysAsWritten) {
  // Times and dates out of range.
  EXPECT_EQ(FormatTimePicture(u"HH", MakeTime(2026, 12, 4, 24, 0, 0, 0)), u"HH");
  EXPECT_EQ(FormatTimePicture(u"HH", MakeTime(2026, 12, 4, 7, 0, 0, 1000)), u"HH");
  EXPECT_EQ(FormatDatePicture(u"dd", MakeTime(2024, 2, 30, 7, 0, 0, 0)), u"dd");
  EXPECT_EQ(FormatDatePicture(u"yyyy", MakeTime(1600, 12, 31, 7, 0, 0, 0)), u"yyyy");
  EXPECT_EQ(FormatDatePicture(u"yyyy", MakeTime(1601, 1, 1, 7, 0, 0, 0)), u"1601");
  // The date pass ignores the time of day and the time pass the date.
  EXPECT_EQ(FormatDatePicture(u"d", MakeTime(2026, 12, 4, 24, 0, 0, 0)), u"4");
  EXPECT_EQ(FormatTimePicture(u"H", MakeTime(2024, 2, 30, 13, 0, 0, 0)), u"13");

  // A result needs room in 260 characters with the terminating null.
  std::u16string fits;
  for (int i = 0; i < 36; ++i) fits += u"dddd,";  // 36 x "Friday," = 252
  std::u16string expectedFits;
  for (int i = 0; i < 36; ++i) expectedFits += u"Friday,";
  EXPECT_EQ(FormatDatePicture(fits, kFridayMorning), expectedFits);
  const std::u16string padding(257, u'x');
  EXPECT_EQ(FormatTimePicture(u"H" + padding + u"H", kFridayMorning), u"7" + padding + u"7");
  EXPECT_EQ(FormatTimePicture(u"HH" + padding + u"H", kFridayMorning), u"HH" + padding + u"H");
  EXPECT_EQ(FormatDatePicture(u"d" + padding + u"d", kFridayMorning), u"4" + padding + u"4");
  EXPECT_EQ(FormatDatePicture(u"dd" + padding + u"d", kFridayMorning), u"dd" + padding + u"d");
  EXPECT_EQ(ExpandTimestamp(u"run%HH" + padding + u"H%.log", kFridayMorning),
            u"runHH" + padding + u"H.log");
}

TEST(Timestamp, TheCurrentTimeIsAValidLocalTime) {
  const LocalTime now = CurrentLocalTime();
  EXPECT_GE(now.year, 2024);
  EXPECT_GE(now.month, 1);
  EXPECT_LE(now.month, 12);
  EXPECT_GE(now.day, 1);
  EXPECT_LE(now.day, 31);
  EXPECT_LE(now.hour, 23);
  EXPECT_LE(now.minute, 59);
  EXPECT_LE(now.second, 59);
  EXPECT_LE(now.milliseconds, 999);
  const std::u16string day = FormatDatePicture(u"dddd", now);
  const std::u16string expectedDays[] = {u"Sunday", u"Monday", u"Tuesday", u"Wednesday",
                                         u"Thursday", u"Friday", u"Saturday"};
  EXPECT_EQ(day, expectedDays[now.dayOfWeek]);
}

}  // namespace
}  // namespace javelin
