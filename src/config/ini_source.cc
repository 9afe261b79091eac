#include "config/ini_source.h"

#include "base/file_system.h"
#include "base/trace.h"

namespace javelin {

std::u16string DiskIniSource::GetString(const std::u16string& path, const std::u16string& section,
                                        const std::u16string& key) const {
  for (const std::unique_ptr<IniFile>& file : files_) {
    if (file->path() == path) return file->GetString(section, key);
  }
  files_.push_back(std::make_unique<IniFile>(path));
  return files_.back()->GetString(section, key);
}

bool DiskIniSource::FileExists(const std::u16string& path) const {
  FileFinder finder;
  return finder.FindFile(path);
}

IniConfig::IniConfig(const IniSource& source, std::u16string path)
    : source_(source), path_(std::move(path)) {}

namespace {

std::u16string Traced(const std::u16string& section, const std::u16string& key,
                      std::u16string value) {
  if (!value.empty()) Trace(u"setting [" + section + u"] " + key + u" = " + Quoted(value));
  return value;
}

}  // namespace

std::u16string IniConfig::GetString(const std::u16string& section,
                                    const std::u16string& key) const {
  std::u16string value = source_.GetString(path_, section, key);
  if (!value.empty()) return Traced(section, key, value);
  value = source_.GetString(path_, section + u"+", key);
  if (value.empty() || value.front() == u' ') return Traced(section + u"+", key, value);
  return Traced(section + u"+", key, u" " + value);
}

std::u16string IniConfig::GetPlainString(const std::u16string& section,
                                         const std::u16string& key) const {
  return Traced(section, key, source_.GetString(path_, section, key));
}

}  // namespace javelin
