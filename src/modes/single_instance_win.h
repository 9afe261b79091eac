// The names of single-instance mode's objects on Windows.
#pragma once

#include <string>

namespace javelin {

// The base name of the region, the event and the message for the executable
// at `modulePath`: its long, upper-cased full path with every backslash
// replaced by an underscore, so that every spelling of one path (letter
// case, 8.3 short names) gives the same name.
std::u16string InstanceBaseName(const std::u16string& modulePath);

}  // namespace javelin
