// Readers and writers of one INI file. On Windows they use the profile
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
  virtual ~IniFile();

  // Reads the first 4 bytes of the file; returns 0 or the platform error.
  virtual uint32_t ReadHeader(unsigned char (&buffer)[4]);
  // The value, empty when the key, the section or the file is absent.
  virtual std::u16string GetString(const std::u16string& section,
                                   const std::u16string& key);
  virtual TextList GetSectionNames();
  // Nonzero on success.
  virtual int WriteString(const std::u16string& section, const std::u16string& key,
                          const std::u16string& value);
  // Nonzero on success.
  virtual int Delete();

  const std::u16string& path() const { return path_; }

 private:
  std::u16string path_;
};

// An IniFile whose GetString falls back to the section named with a "+"
// appended; such a value gets one leading blank.
class IniConfig : public IniFile {
 public:
  explicit IniConfig(std::u16string path);
  ~IniConfig() override;
  std::u16string GetString(const std::u16string& section,
                           const std::u16string& key) override;
};

}  // namespace javelin
