#include "config/ini_file.h"

namespace javelin {

IniFile::IniFile(std::u16string path) : path_(std::move(path)) {}
IniFile::~IniFile() = default;

}  // namespace javelin
