#include <windows.h>

#include <vector>

#include "base/win_support.h"
#include "config/ini_paths.h"

namespace javelin {

bool IniPathForExecutable(const std::u16string& exePath, std::u16string& iniPath) {
  const size_t dot = exePath.rfind(u'.');
  if (dot == std::u16string::npos) return false;
  iniPath = exePath.substr(0, dot + 1) + u"ini";
  return true;
}

std::u16string UserSettingsDirectory(bool) {
  // A value too long for the usual 260 characters is taken whole rather
  // than dropped.
  std::vector<wchar_t> buffer(MAX_PATH);
  DWORD length = GetEnvironmentVariableW(L"APPDATA", buffer.data(), MAX_PATH);
  if (length >= buffer.size()) {
    buffer.resize(length);
    length = GetEnvironmentVariableW(L"APPDATA", buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length >= buffer.size()) length = 0;
  }
  return std::u16string(reinterpret_cast<const char16_t*>(buffer.data()), length);
}

void CreateSettingsFolder(const std::u16string& path) { CreateDirectoryW(W(path), nullptr); }

}  // namespace javelin
