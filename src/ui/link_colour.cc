#include "ui/link_colour.h"

#include <climits>

namespace javelin {

namespace {

bool IsBlank(char16_t c) { return c == u' ' || (c >= u'\t' && c <= u'\r'); }

// Reads `part` as the C library's wide integer conversion does into a 32-bit
// long: a value out of range saturates, anything unreadable gives 0.
int32_t ReadDecimal(std::u16string_view part) {
  size_t at = 0;
  while (at < part.size() && IsBlank(part[at])) ++at;
  bool negative = false;
  if (at < part.size() && (part[at] == u'+' || part[at] == u'-')) {
    negative = part[at] == u'-';
    ++at;
  }
  int64_t value = 0;
  for (; at < part.size() && part[at] >= u'0' && part[at] <= u'9'; ++at) {
    value = value * 10 + (part[at] - u'0');
    if (value > int64_t{INT32_MAX} + 1) value = int64_t{INT32_MAX} + 1;
  }
  if (negative) value = -value;
  if (value > INT32_MAX) return INT32_MAX;
  if (value < INT32_MIN) return INT32_MIN;
  return static_cast<int32_t>(value);
}

}  // namespace

std::optional<uint32_t> ParseLinkColour(std::u16string_view text) {
  const size_t first = text.find(u',');
  if (first == std::u16string_view::npos) return std::nullopt;
  const size_t second = text.find(u',', first + 1);
  if (second == std::u16string_view::npos || second + 1 == text.size()) return std::nullopt;
  const int32_t red = ReadDecimal(text.substr(0, first));
  const int32_t green = ReadDecimal(text.substr(first + 1, second - first - 1));
  const int32_t blue = ReadDecimal(text.substr(second + 1));
  // Unsigned arithmetic wraps like the 32-bit colour value it builds.
  return static_cast<uint32_t>(red) + 256u * static_cast<uint32_t>(green) +
         65536u * static_cast<uint32_t>(blue % 256);
}

}  // namespace javelin
