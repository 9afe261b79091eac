// Where the launcher's configuration files live.
#pragma once

#include <string>

namespace javelin {

class Launcher;

// The launcher's own path with its extension replaced by "ini" (Windows: cut
// at the last '.' of the whole path; POSIX: at the last '.' of the file name,
// or ".ini" appended when the name has none). False when it cannot be derived.
bool GetIniPath(std::u16string& path);

// <per-user settings dir>/<product name>/<product code>/<base name>.ini for
// the executable `exePath`; folders created on request. The per-user settings
// dir is %APPDATA% on Windows, $XDG_CONFIG_HOME or $HOME/.config elsewhere.
std::u16string GetUserIniPath(const Launcher& launcher, const std::u16string& exePath,
                              bool createFolders);

// The "Pair Product" path with its extension replaced by "ini".
bool GetPairIniPath(const Launcher& launcher, std::u16string& path);

}  // namespace javelin
