// Where the launcher's configuration files live.
#pragma once

#include <string>

namespace javelin {

// <per-user settings dir>/<product name>/<product code>/<base name>.ini for
// the executable `exePath`; folders created on request. The per-user settings
// dir is %APPDATA% on Windows, $XDG_CONFIG_HOME or $HOME/.config elsewhere.
std::u16string GetUserIniPath(const std::u16string& productName, const std::u16string& productCode,
                              const std::u16string& exePath, bool createFolders);

// The configuration file of an executable: its path with the extension
// replaced by "ini" (Windows: cut at the last '.' of the whole path; POSIX: at
// the last '.' of the file name, or ".ini" appended when the name has none).
// False when it cannot be derived.
bool IniPathForExecutable(const std::u16string& exePath, std::u16string& iniPath);

// The product name as a folder name: the nine characters \ ? " | > < : / *
// removed, everything else (blanks included) kept.
std::u16string ProductFolderName(const std::u16string& productName);

// The per-user settings folder: %APPDATA% on Windows (empty when unset);
// $XDG_CONFIG_HOME when set to an absolute path, else $HOME/.config, on
// POSIX. With `create`, POSIX creates that folder when it is missing.
std::u16string UserSettingsDirectory(bool create);

// Creates one folder level; an existing folder or a failure is ignored.
void CreateSettingsFolder(const std::u16string& path);

}  // namespace javelin
