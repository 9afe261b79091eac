#include <windows.h>

#include "base/win_support.h"
#include "jvm/timestamp.h"

namespace javelin {

namespace {

constexpr int kBufferLength = 260;

SYSTEMTIME ToSystemTime(const LocalTime& time) {
  SYSTEMTIME system = {};
  system.wYear = static_cast<WORD>(time.year);
  system.wMonth = static_cast<WORD>(time.month);
  system.wDayOfWeek = static_cast<WORD>(time.dayOfWeek);
  system.wDay = static_cast<WORD>(time.day);
  system.wHour = static_cast<WORD>(time.hour);
  system.wMinute = static_cast<WORD>(time.minute);
  system.wSecond = static_cast<WORD>(time.second);
  system.wMilliseconds = static_cast<WORD>(time.milliseconds);
  return system;
}

std::u16string FromBuffer(const wchar_t* buffer, int written) {
  // `written` counts the terminating null.
  return std::u16string(reinterpret_cast<const char16_t*>(buffer),
                        static_cast<size_t>(written - 1));
}

}  // namespace

LocalTime CurrentLocalTime() {
  SYSTEMTIME now = {};
  GetLocalTime(&now);
  LocalTime time;
  time.year = now.wYear;
  time.month = now.wMonth;
  time.dayOfWeek = now.wDayOfWeek;
  time.day = now.wDay;
  time.hour = now.wHour;
  time.minute = now.wMinute;
  time.second = now.wSecond;
  time.milliseconds = now.wMilliseconds;
  return time;
}

std::u16string FormatTimePicture(const std::u16string& picture, const LocalTime& time) {
  const SYSTEMTIME system = ToSystemTime(time);
  wchar_t buffer[kBufferLength];
  const int written =
      GetTimeFormatW(LOCALE_USER_DEFAULT, 0, &system, W(picture), buffer, kBufferLength);
  return written > 0 ? FromBuffer(buffer, written) : picture;
}

std::u16string FormatDatePicture(const std::u16string& picture, const LocalTime& time) {
  const SYSTEMTIME system = ToSystemTime(time);
  wchar_t buffer[kBufferLength];
  const int written =
      GetDateFormatW(LOCALE_USER_DEFAULT, 0, &system, W(picture), buffer, kBufferLength);
  return written > 0 ? FromBuffer(buffer, written) : picture;
}

}  // namespace javelin
