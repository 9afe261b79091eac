#include "jvm/timestamp.h"

#include "base/text.h"

namespace javelin {

std::u16string ExpandTimestamp(const std::u16string& fileName, const LocalTime& time) {
  const size_t first = fileName.find(u'%');
  if (first == std::u16string::npos) return fileName;
  const size_t last = fileName.rfind(u'%');
  std::u16string picture = last > first ? fileName.substr(first + 1, last - first - 1) : u"";

  const std::u16string milliseconds = ToDecimal(time.milliseconds);
  for (size_t at = picture.find(u'L'); at != std::u16string::npos;
       at = picture.find(u'L', at + milliseconds.size())) {
    picture.replace(at, 1, milliseconds);
  }

  // Time first, then date: quotes protect text from the time pass only,
  // because that pass drops them.
  const std::u16string formatted = FormatDatePicture(FormatTimePicture(picture, time), time);
  return fileName.substr(0, first) + formatted + fileName.substr(last + 1);
}

}  // namespace javelin
