// Date-time pictures between '%' characters in output file names.
#pragma once

#include <string>

namespace javelin {

struct LocalTime {
  int year = 0, month = 0, dayOfWeek = 0, day = 0;
  int hour = 0, minute = 0, second = 0, milliseconds = 0;
};

// The current local time (GetLocalTime / clock_gettime + localtime_r).
LocalTime CurrentLocalTime();

// Replaces the text from the first to the last '%' of `fileName` with the
// picture between them formatted for `time` ("L" is the milliseconds). A
// name without '%' is returned unchanged; one with a single '%' loses it.
std::u16string ExpandTimestamp(const std::u16string& fileName, const LocalTime& time);

// The two formatting passes: time pictures (h, hh, H, HH, m, mm, s, ss, t,
// tt), then date pictures (d .. dddd, M .. MMMM, y, yy, yyyy, g), each with
// text in single quotes taken literally and the quotes dropped. Windows uses
// GetTimeFormatW/GetDateFormatW with the user's locale; POSIX its own
// formatter with the English (United States) names. A pass that fails (a
// time or date out of range, a result of 260 characters or more) returns
// its picture unchanged.
std::u16string FormatTimePicture(const std::u16string& picture, const LocalTime& time);
std::u16string FormatDatePicture(const std::u16string& picture, const LocalTime& time);

}  // namespace javelin
