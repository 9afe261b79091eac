// Reader and writer of one INI file. On Windows they use the profile
// functions; elsewhere Javelin's own reader and writer with the same rules.
#pragma once

#include <cstdint>
#include <string>

#include "base/text.h"

namespace javelin {

class IniFile {
 public:
  // Does not touch the file.
  explicit IniFile(std::u16string path);
  ~IniFile();

  // Reads the first 4 bytes of the file; returns 0 or the platform error.
  uint32_t ReadHeader(unsigned char (&buffer)[4]);
  // The value, empty when the key, the section or the file is absent.
  std::u16string GetString(const std::u16string& section, const std::u16string& key);
  // Nonzero on success.
  int WriteString(const std::u16string& section, const std::u16string& key,
                  const std::u16string& value);
  // Nonzero on success.
  int Delete();

  const std::u16string& path() const { return path_; }

 private:
  std::u16string path_;
};

}  // namespace javelin
