#include "config/ini_paths.h"

#include <string_view>

#include "base/file_system.h"

namespace javelin {

std::u16string ProductFolderName(const std::u16string& productName) {
  const std::u16string_view removed = u"\\?\"|><:/*";
  std::u16string folder;
  for (char16_t c : productName) {
    if (removed.find(c) == std::u16string_view::npos) folder.push_back(c);
  }
  return folder;
}

std::u16string GetUserIniPath(const std::u16string& productName, const std::u16string& productCode,
                              const std::u16string& exePath, bool createFolders) {
  const size_t separator = exePath.rfind(kPathSeparator);
  std::u16string fileName =
      separator == std::u16string::npos ? exePath : exePath.substr(separator + 1);
  const size_t dot = fileName.rfind(u'.');
  if (dot != std::u16string::npos) fileName.resize(dot);
  fileName += u".ini";

  std::u16string path = UserSettingsDirectory(createFolders);
  path += kPathSeparator;
  path += ProductFolderName(productName);
  if (createFolders) CreateSettingsFolder(path);
  path += kPathSeparator;
  path += productCode;
  if (createFolders) CreateSettingsFolder(path);
  path += kPathSeparator;
  path += fileName;
  return path;
}

}  // namespace javelin
