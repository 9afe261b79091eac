#include "config/ini_file.h"

namespace javelin {

IniFile::IniFile(std::u16string path) : path_(std::move(path)) {}
IniFile::~IniFile() = default;
uint32_t IniFile::ReadHeader(unsigned char (&)[4]) { return 2; }
std::u16string IniFile::GetString(const std::u16string&, const std::u16string&) { return {}; }
TextList IniFile::GetSectionNames() { return {}; }
int IniFile::WriteString(const std::u16string&, const std::u16string&, const std::u16string&) { return 0; }
int IniFile::Delete() { return 0; }
IniConfig::IniConfig(std::u16string path) : IniFile(std::move(path)) {}
IniConfig::~IniConfig() = default;
std::u16string IniConfig::GetString(const std::u16string&, const std::u16string&) { return {}; }

}  // namespace javelin
