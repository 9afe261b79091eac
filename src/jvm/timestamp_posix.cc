#include "jvm/timestamp.h"

namespace javelin {

LocalTime CurrentLocalTime() { return {}; }
std::u16string FormatTimePicture(const std::u16string& picture, const LocalTime&) { return picture; }
std::u16string FormatDatePicture(const std::u16string& picture, const LocalTime&) { return picture; }

}  // namespace javelin
