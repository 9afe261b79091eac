// The "release" file at the top of a Java runtime: lines KEY="value".
#pragma once

#include <string>
#include <string_view>

namespace javelin {

// The value of the first line of `content` that starts with `key` and '='.
// Lines end at LF (a CR before it is dropped); trailing blanks go, and one
// pair of double quotes around the value is removed. Empty when no line
// holds the key (or the key is empty). The bytes are returned as written
// (UTF-8 in practice).
std::string ReleaseFileValue(std::string_view content, std::string_view key);

}  // namespace javelin
