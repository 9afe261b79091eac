// Where the settings reader takes its values from: the INI files on disk, or
// whatever a test puts in their place.
#pragma once

#include <string>
#include <memory>
#include <vector>

#include "config/ini_file.h"

namespace javelin {

class IniSource {
 public:
  virtual ~IniSource() = default;
  // The value of `key` in `section` of the file at `path`; empty when the
  // key, the section or the file is absent.
  virtual std::u16string GetString(const std::u16string& path, const std::u16string& section,
                                   const std::u16string& key) const = 0;
  // Whether a file exists at `path`.
  virtual bool FileExists(const std::u16string& path) const = 0;
};

// The INI files on disk, read through one IniFile per path for the life of
// the source: where IniFile parses a file once, the source reads it once. A
// launch reads two files at most, so a list serves.
class DiskIniSource : public IniSource {
 public:
  std::u16string GetString(const std::u16string& path, const std::u16string& section,
                           const std::u16string& key) const override;
  bool FileExists(const std::u16string& path) const override;

 private:
  mutable std::vector<std::unique_ptr<IniFile>> files_;
};

// The launcher's configuration file as the stages read it. GetString applies
// the "+" rule: when the key is absent or empty in `section`, the section
// named with a "+" appended is read, and a value found there comes back with
// one leading blank (it is meant to be appended to whatever the key already
// holds).
class IniConfig {
 public:
  IniConfig(const IniSource& source, std::u16string path);
  std::u16string GetString(const std::u16string& section, const std::u16string& key) const;
  // The value without the "+" rule.
  std::u16string GetPlainString(const std::u16string& section, const std::u16string& key) const;
  const std::u16string& path() const { return path_; }

 private:
  const IniSource& source_;
  std::u16string path_;
};

}  // namespace javelin
