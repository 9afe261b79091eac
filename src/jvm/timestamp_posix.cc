// Javelin's own formatter of the Windows date and time pictures, with the
// English (United States) names, so that a picture names the same file on
// every platform.
#include <time.h>

#include "base/text.h"
#include "jvm/timestamp.h"

namespace javelin {

namespace {

// The formatting functions of Windows write into 260 characters, the
// terminating null included.
constexpr size_t kMaximumLength = 259;

const char16_t* const kDayNames[] = {u"Sunday",   u"Monday", u"Tuesday", u"Wednesday",
                                     u"Thursday", u"Friday", u"Saturday"};
const char16_t* const kDayAbbreviations[] = {u"Sun", u"Mon", u"Tue", u"Wed",
                                             u"Thu", u"Fri", u"Sat"};
const char16_t* const kMonthNames[] = {u"January",   u"February", u"March",    u"April",
                                       u"May",       u"June",     u"July",     u"August",
                                       u"September", u"October",  u"November", u"December"};
const char16_t* const kMonthAbbreviations[] = {u"Jan", u"Feb", u"Mar", u"Apr", u"May", u"Jun",
                                               u"Jul", u"Aug", u"Sep", u"Oct", u"Nov", u"Dec"};
const char16_t kEra[] = u"AD";

bool IsLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int DaysInMonth(int year, int month) {
  static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && IsLeapYear(year) ? 29 : days[month - 1];
}

// The range of dates a Windows SYSTEMTIME converts to a file time.
bool IsValidDate(const LocalTime& time) {
  return time.year >= 1601 && time.year <= 65535 && time.month >= 1 && time.month <= 12 &&
         time.day >= 1 && time.day <= DaysInMonth(time.year, time.month);
}

bool IsValidTime(const LocalTime& time) {
  return time.hour >= 0 && time.hour <= 23 && time.minute >= 0 && time.minute <= 59 &&
         time.second >= 0 && time.second <= 59 && time.milliseconds >= 0 &&
         time.milliseconds <= 999;
}

// 0 = Sunday. The day of the week is computed from the date, as Windows
// does; the caller's field is not trusted.
int DayOfWeek(int year, int month, int day) {
  static const int offsets[] = {0, 3, 2, 5, 0, 3, 5, 1, 4, 6, 2, 4};
  if (month < 3) year -= 1;
  return (year + year / 4 - year / 100 + year / 400 + offsets[month - 1] + day) % 7;
}

// A number with at least `width` digits.
std::u16string Number(int value, size_t width) {
  std::u16string digits = ToDecimal(value);
  if (digits.size() < width) digits.insert(0, width - digits.size(), u'0');
  return digits;
}

// Length of the element that starts at `at`: a quoted text up to its closing
// quote (two quotes inside it stand for one), a run of one picture letter
// from `letters`, or a single other character.
size_t ElementLength(const std::u16string& picture, size_t at, const char16_t* letters) {
  const size_t size = picture.size();
  if (picture[at] == u'\'') {
    size_t i = at + 1;
    while (i < size) {
      if (picture[i] != u'\'') {
        ++i;
        continue;
      }
      ++i;
      if (i >= size || picture[i] != u'\'') return i - at;
      ++i;
    }
    return size - at;
  }
  bool isLetter = false;
  for (const char16_t* l = letters; *l != 0; ++l) isLetter |= (*l == picture[at]);
  if (!isLetter) return 1;
  size_t end = at + 1;
  while (end < size && picture[end] == picture[at]) ++end;
  return end - at;
}

// The text of a quoted element without its quotes; two quotes give one. An
// unterminated quote runs to the end of the picture.
void AppendQuoted(const std::u16string& picture, size_t at, size_t length, std::u16string& out) {
  for (size_t i = 1; i < length; ++i) {
    if (picture[at + i] == u'\'' && ++i == length) break;
    out += picture[at + i];
  }
}

// Walks the picture, handing each element other than a quoted text to
// `field`, which appends the text of a picture letter and returns false for
// any other character, which is copied. Returns the picture unchanged when the result would not
// fit the Windows buffer.
template <typename Field>
std::u16string Format(const std::u16string& picture, const char16_t* letters, Field field) {
  std::u16string out;
  for (size_t at = 0; at < picture.size();) {
    const size_t length = ElementLength(picture, at, letters);
    const char16_t c = picture[at];
    if (c == u'\'') {
      AppendQuoted(picture, at, length, out);
    } else if (!field(c, length, out)) {
      out.append(picture, at, length);
    }
    at += length;
  }
  return out.size() > kMaximumLength ? picture : out;
}

}  // namespace

LocalTime CurrentLocalTime() {
  struct timespec now = {};
  clock_gettime(CLOCK_REALTIME, &now);
  struct tm local = {};
  localtime_r(&now.tv_sec, &local);
  LocalTime time;
  time.year = local.tm_year + 1900;
  time.month = local.tm_mon + 1;
  time.dayOfWeek = local.tm_wday;
  time.day = local.tm_mday;
  time.hour = local.tm_hour;
  time.minute = local.tm_min;
  time.second = local.tm_sec > 59 ? 59 : local.tm_sec;  // a leap second
  time.milliseconds = static_cast<int>(now.tv_nsec / 1000000);
  return time;
}

std::u16string FormatTimePicture(const std::u16string& picture, const LocalTime& time) {
  if (!IsValidTime(time)) return picture;
  const bool afternoon = time.hour >= 12;
  return Format(picture, u"hHmst", [&](char16_t c, size_t count, std::u16string& out) {
    const size_t width = count >= 2 ? 2 : 1;
    switch (c) {
      case u'h':
        out += Number(time.hour % 12 == 0 ? 12 : time.hour % 12, width);
        return true;
      case u'H':
        out += Number(time.hour, width);
        return true;
      case u'm':
        out += Number(time.minute, width);
        return true;
      case u's':
        out += Number(time.second, width);
        return true;
      case u't':
        out += count == 1 ? (afternoon ? u"P" : u"A") : (afternoon ? u"PM" : u"AM");
        return true;
      default:
        return false;
    }
  });
}

std::u16string FormatDatePicture(const std::u16string& picture, const LocalTime& time) {
  if (!IsValidDate(time)) return picture;
  const int dayOfWeek = DayOfWeek(time.year, time.month, time.day);
  return Format(picture, u"dMy", [&](char16_t c, size_t count, std::u16string& out) {
    switch (c) {
      case u'd':
        if (count <= 2)
          out += Number(time.day, count);
        else
          out += (count == 3 ? kDayAbbreviations : kDayNames)[dayOfWeek];
        return true;
      case u'M':
        if (count <= 2)
          out += Number(time.month, count);
        else
          out += (count == 3 ? kMonthAbbreviations : kMonthNames)[time.month - 1];
        return true;
      case u'y':
        // One or two letters both give the last two digits, zero-padded.
        out += count <= 2 ? Number(time.year % 100, 2) : Number(time.year, 1);
        return true;
      case u'g':
        // Each letter of a run of g's stands for the era on its own.
        out += kEra;
        return true;
      default:
        return false;
    }
  });
}

}  // namespace javelin
