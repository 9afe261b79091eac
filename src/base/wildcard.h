// Matching of file names against the '*' and '?' wildcards of a directory
// search, with the rules Windows applies, used where the platform has no such
// search of its own.
#pragma once

#include <string_view>

namespace javelin {

// True when `name` matches `pattern`: '*' stands for any run of characters
// (also none), '?' for exactly one UTF-16 unit, every other character for
// itself (case-sensitive). As on Windows, dots and stars left over at the end
// of the pattern also match the end of the name, so "*.*" matches "readme"
// and "name.*" matches "name".
bool MatchesWildcard(std::u16string_view pattern, std::u16string_view name);

// Whether `text` contains '*' or '?'.
bool HasWildcard(std::u16string_view text);

}  // namespace javelin
