// The browser's link colours as they are stored in the registry: "r,g,b".
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace javelin {

// Parses "red,green,blue" (decimal parts, each read like wcstol: leading
// blanks, an optional sign, digits, the rest ignored) into the colour value
// red + 256 * green + 65536 * (blue mod 256), computed in 32 bits without a
// range test of the parts. Nullopt when a comma is missing or nothing follows
// the second comma.
std::optional<uint32_t> ParseLinkColour(std::u16string_view text);

}  // namespace javelin
