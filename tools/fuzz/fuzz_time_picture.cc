// Fuzzes the date-time pictures of output file names: any picture and any
// time (valid or not) format without fault, a failed pass gives the picture
// back, text without picture letters or quotes stays, and a quoted text
// comes through the time pass as written.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz_check.h"
#include "fuzz_input.h"
#include "jvm/timestamp.h"

namespace {

bool HasNone(const std::u16string& text, const char16_t* letters) {
  return text.find_first_of(letters) == std::u16string::npos;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace javelin;
  if (size < 8) return 0;
  // Mostly valid times, now and then any numbers at all.
  LocalTime time;
  const bool wild = data[0] == 0xFF;
  time.year = wild ? static_cast<int8_t>(data[1]) * 300 : 1601 + data[1] * 256 + data[2];
  time.month = wild ? static_cast<int8_t>(data[2]) : 1 + data[2] % 12;
  time.day = wild ? static_cast<int8_t>(data[3]) : 1 + data[3] % 28;
  time.hour = wild ? static_cast<int8_t>(data[4]) : data[4] % 24;
  time.minute = data[5] % (wild ? 256 : 60);
  time.second = data[6] % (wild ? 256 : 60);
  time.milliseconds = wild ? static_cast<int8_t>(data[7]) * 8 : data[7] * 1000 / 256;
  time.dayOfWeek = data[7] % 9;
  const std::u16string picture = UnitsFromBytes(data + 8, size - 8);

  const std::u16string timePass = FormatTimePicture(picture, time);
  const std::u16string datePass = FormatDatePicture(picture, time);
  for (const std::u16string* result : {&timePass, &datePass}) {
    Check(*result == picture || result->size() < 260);
  }
  if (HasNone(picture, u"hHmst'")) Check(timePass == picture);
  if (HasNone(picture, u"dMyg'")) Check(datePass == picture);
  if (!wild && HasNone(picture, u"'") && picture.size() < 100) {
    // A quoted text without quotes in it comes through as it is.
    const std::u16string quoted = u"'" + picture + u"'";
    Check(FormatTimePicture(quoted, time) == picture);
  }
  const std::u16string name = ExpandTimestamp(u"out_%" + picture + u"%.log", time);
  Check(name.compare(0, 4, u"out_") == 0);
  return 0;
}
