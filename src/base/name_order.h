// The order in which an NTFS directory lists its names, for directory
// searches on file systems that list them in an order of their own.
#pragma once

#include <string_view>

namespace javelin {

// The upper-case form of one UTF-16 unit as file-name comparison sees it:
// the simple upper-case mapping of the cased letters of the Basic
// Multilingual Plane (Latin, Greek, Cyrillic, Armenian, the circled and
// full-width Latin letters and the Roman numerals). Letters whose upper case
// lies in ASCII while they do not (dotless i, long s) stay, as do surrogate
// halves and every unit without case.
char16_t UpcaseFileNameUnit(char16_t unit);

// True when `a` comes before `b` in an NTFS directory listing: the names
// are compared unit by unit after UpcaseFileNameUnit, shorter first when one
// is a prefix of the other. Names equal in that sense (which NTFS cannot
// hold side by side, but a case-sensitive file system can) are ordered by
// their units, so the order is total and always the same.
bool PrecedesInDirectoryOrder(std::u16string_view a, std::u16string_view b);

}  // namespace javelin
