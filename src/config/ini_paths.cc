#include "config/ini_paths.h"

#include "base/file_system.h"
#include "base/module_path.h"
#include "launcher/launcher.h"

namespace javelin {

bool GetIniPath(std::u16string& path) {
  std::u16string modulePath;
  if (!GetModulePath(modulePath)) return false;
  return IniPathForExecutable(modulePath, path);
}

bool GetPairIniPath(const Launcher& launcher, std::u16string& path) {
  if (launcher.pairProduct.empty()) return false;
  return IniPathForExecutable(launcher.pairProduct, path);
}

std::u16string ProductFolderName(const std::u16string& productName) {
  static const std::u16string kRemoved = u"\\?\"|><:/*";
  std::u16string folder;
  for (char16_t c : productName) {
    if (kRemoved.find(c) == std::u16string::npos) folder.push_back(c);
  }
  return folder;
}

std::u16string GetUserIniPath(const Launcher& launcher, const std::u16string& exePath,
                              bool createFolders) {
  const size_t separator = exePath.rfind(kPathSeparator);
  std::u16string fileName =
      separator == std::u16string::npos ? exePath : exePath.substr(separator + 1);
  const size_t dot = fileName.rfind(u'.');
  if (dot != std::u16string::npos) fileName.resize(dot);
  fileName += u".ini";

  std::u16string path = UserSettingsDirectory(createFolders);
  path += kPathSeparator;
  path += ProductFolderName(launcher.productName);
  if (createFolders) CreateSettingsFolder(path);
  path += kPathSeparator;
  path += launcher.productCode;
  if (createFolders) CreateSettingsFolder(path);
  path += kPathSeparator;
  path += fileName;
  return path;
}

}  // namespace javelin
