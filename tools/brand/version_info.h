// The version resource (VS_VERSIONINFO): the fixed file and product
// versions and one table of strings with its translation.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "bytes.h"

namespace javelin::brand {

using VersionNumbers = std::array<uint16_t, 4>;

struct VersionInfo {
  VersionNumbers fileVersion{};
  VersionNumbers productVersion{};
  uint32_t fileFlagsMask = 0x3F;
  uint32_t fileFlags = 0;
  uint32_t fileOs = 0x00040004;  // VOS_NT_WINDOWS32
  uint32_t fileType = 1;         // VFT_APP
  uint32_t fileSubtype = 0;
  // The launcher's texts are German: table 0407 (German), code page 1200
  // (UTF-16), unless the program already has another one.
  uint16_t language = 0x0407;
  uint16_t codePage = 1200;
  std::vector<std::pair<std::u16string, std::u16string>> strings;

  // Replaces the value of `key`, or adds it.
  void Set(const std::u16string& key, const std::u16string& value);
  // The value of `key`, or null.
  const std::u16string* Get(const std::u16string& key) const;
};

// Reads a version resource; the first string table is taken. Fails with a
// one-line reason for a block that runs past its parent.
bool ReadVersionInfo(const Bytes& data, VersionInfo* info, std::string* error);
Bytes WriteVersionInfo(const VersionInfo& info);

// "A", "A.B", "A.B.C" or "A.B.C.D" with numbers up to 65535; missing
// numbers are zero.
bool ParseVersionNumbers(std::string_view text, VersionNumbers* numbers);
std::u16string VersionText(const VersionNumbers& numbers);

}  // namespace javelin::brand
