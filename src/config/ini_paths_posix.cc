#include <pwd.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include "base/text.h"
#include "config/ini_paths.h"

namespace javelin {

namespace {

std::string HomeDirectory() {
  const char* home = getenv("HOME");
  if (home != nullptr && *home != 0) return home;
  const passwd* entry = getpwuid(getuid());
  if (entry != nullptr && entry->pw_dir != nullptr) return entry->pw_dir;
  return {};
}

}  // namespace

bool IniPathForExecutable(const std::u16string& exePath, std::u16string& iniPath) {
  if (exePath.empty()) return false;
  // Executables here usually have no extension: the dot must be in the file
  // name, and without one ".ini" is appended.
  const size_t slash = exePath.rfind(u'/');
  const size_t nameStart = slash == std::u16string::npos ? 0 : slash + 1;
  const size_t dot = exePath.rfind(u'.');
  if (dot != std::u16string::npos && dot >= nameStart) {
    iniPath = exePath.substr(0, dot + 1) + u"ini";
  } else {
    iniPath = exePath + u".ini";
  }
  return true;
}

std::u16string UserSettingsDirectory(bool create) {
  std::string directory;
  const char* configHome = getenv("XDG_CONFIG_HOME");
  if (configHome != nullptr && configHome[0] == '/') {
    directory = configHome;
  } else {
    const std::string home = HomeDirectory();
    if (!home.empty()) directory = home + "/.config";
  }
  // The base folder is private to the user.
  if (create && !directory.empty()) mkdir(directory.c_str(), 0700);
  return FromUtf8(directory);
}

void CreateSettingsFolder(const std::u16string& path) { mkdir(ToUtf8(path).c_str(), 0777); }

}  // namespace javelin
