// The class path of a "Class Path" value.
#pragma once

#include <string>

namespace javelin {

// Entries separated by ';', each with environment references expanded;
// absolute entries without '*' taken as they are, all others searched on
// disk relative to `launcherDirectory` (no trailing separator). Every entry
// is followed by the platform's list separator.
std::u16string BuildClassPath(const std::u16string& value, const std::u16string& launcherDirectory);

// Appends every file or folder that `entry` names (wildcards allowed in its
// last component; relative entries below `launcherDirectory`) to
// `classPath`, each with its directory and followed by the list separator.
// Nothing is appended when nothing matches.
void ResolveClassPathEntry(const std::u16string& entry, const std::u16string& launcherDirectory,
                           std::u16string& classPath);

}  // namespace javelin
