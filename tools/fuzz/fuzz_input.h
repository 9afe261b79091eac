// Turning fuzz input bytes into the launcher's text.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// Pairs of bytes as UTF-16 units (little-endian), so that every unit,
// unpaired surrogates included, can occur.
inline std::u16string UnitsFromBytes(const uint8_t* data, size_t size) {
  std::u16string text;
  text.reserve(size / 2);
  for (size_t i = 0; i + 1 < size; i += 2) {
    text.push_back(static_cast<char16_t>(data[i] | (data[i + 1] << 8)));
  }
  return text;
}

// Eight bytes as a little-endian number (missing bytes count as 0).
inline uint64_t NumberFromBytes(const uint8_t* data, size_t size) {
  uint64_t number = 0;
  for (size_t i = 0; i < 8 && i < size; ++i) number |= static_cast<uint64_t>(data[i]) << (8 * i);
  return number;
}
