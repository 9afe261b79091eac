// The class path of a "Class Path" value.
#pragma once

#include <string>

#include "base/text.h"

namespace javelin {

// Entries separated by ';', each with environment references expanded;
// absolute entries without '*' taken as they are, all others searched on
// disk relative to `launcherDirectory` (no trailing separator). The entries
// found are joined with the platform's list separator. The class path never
// ends in a separator and holds no empty entry: the JVM would read either as
// the current directory and load classes from wherever the user started the
// application. Blanks in front of the value (a value from a "+" section) are
// dropped.
std::u16string BuildClassPath(const std::u16string& value, const std::u16string& launcherDirectory);

// Appends every file or folder that `entry` names (wildcards allowed in its
// last component; relative entries below `launcherDirectory`) to `entries`,
// each with its directory. Nothing is appended when nothing matches.
void ResolveClassPathEntry(const std::u16string& entry, const std::u16string& launcherDirectory,
                           TextList& entries);

}  // namespace javelin
