#include "modes/argument_block.h"

#include <cstring>

namespace javelin {

size_t ArgumentBlockSize(const TextList& arguments) {
  size_t size = 2;
  for (const std::u16string& argument : arguments) size += 2 * argument.size() + 2;
  return size;
}

bool EncodeArgumentBlock(const TextList& arguments, unsigned char* block) {
  if (ArgumentBlockSize(arguments) > kArgumentBlockLimit) return false;
  std::memset(block, 0, kArgumentBlockLimit);
  size_t offset = 0;
  for (const std::u16string& argument : arguments) {
    for (char16_t unit : argument) {
      block[offset] = static_cast<unsigned char>(unit & 0xFF);
      block[offset + 1] = static_cast<unsigned char>(unit >> 8);
      offset += 2;
    }
    offset += 2;  // the zero unit after the argument
  }
  return true;
}

TextList DecodeArgumentBlock(const unsigned char* block, size_t size) {
  const auto unitAt = [block](size_t offset) {
    return static_cast<char16_t>(block[offset] | (block[offset + 1] << 8));
  };
  TextList arguments;
  std::u16string current;
  for (size_t offset = 0; offset + 2 <= size; offset += 2) {
    const char16_t unit = unitAt(offset);
    if (unit != 0) {
      current.push_back(unit);
      continue;
    }
    arguments.push_back(current);
    current.clear();
    if (offset + 4 <= size && unitAt(offset + 2) == 0) break;
  }
  return arguments;
}

}  // namespace javelin
