// Reader and writer of one INI file. On Windows they use the profile
// functions; elsewhere Javelin's own reader and writer with the same rules,
// which read the file once, at the first lookup, and answer every further
// lookup from what they parsed then.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "base/text.h"

namespace javelin {

class IniFile {
 public:
  // Does not touch the file.
  explicit IniFile(std::u16string path);
  ~IniFile();
  IniFile(const IniFile&) = delete;
  IniFile& operator=(const IniFile&) = delete;

  // Reads the first 4 bytes of the file; returns 0 or the platform error.
  uint32_t ReadHeader(unsigned char (&buffer)[4]);
  // The value, empty when the key, the section or the file is absent.
  // Changes made to the file by others after the first lookup are not seen
  // (POSIX).
  std::u16string GetString(const std::u16string& section, const std::u16string& key);
  // Nonzero on success. The next GetString reads the file again.
  int WriteString(const std::u16string& section, const std::u16string& key,
                  const std::u16string& value);
  // Nonzero on success.
  int Delete();

  const std::u16string& path() const { return path_; }

  // What the platform keeps between lookups.
  struct State;

 private:
  std::u16string path_;
  std::unique_ptr<State> state_;
};

}  // namespace javelin
