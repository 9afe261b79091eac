#include "config/ini_file.h"

namespace javelin {

IniFile::IniFile(std::u16string path) : path_(std::move(path)) {}
IniFile::~IniFile() = default;

IniConfig::IniConfig(std::u16string path) : IniFile(std::move(path)) {}
IniConfig::~IniConfig() = default;

// A key may also be given in the section named with a "+" appended. Such a
// value is meant to be appended to whatever the key already holds, so it
// comes back with one leading blank.
std::u16string IniConfig::GetString(const std::u16string& section, const std::u16string& key) {
  std::u16string value = IniFile::GetString(section, key);
  if (!value.empty()) return value;
  value = IniFile::GetString(section + u"+", key);
  if (value.empty() || value.front() == u' ') return value;
  return u" " + value;
}

}  // namespace javelin
