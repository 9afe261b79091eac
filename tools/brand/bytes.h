// Little-endian access to byte buffers, and UTF-8/UTF-16 conversion for the
// texts of resources. Reads are bounds-checked: a read past the end yields
// false and leaves the output alone, so the readers of untrusted files never
// touch memory outside the buffer.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace javelin::brand {

using Bytes = std::vector<uint8_t>;

bool Read16(const Bytes& bytes, size_t offset, uint16_t* value);
bool Read32(const Bytes& bytes, size_t offset, uint32_t* value);
// Overwrites at `offset`, which must lie inside the buffer.
void Write16(Bytes* bytes, size_t offset, uint16_t value);
void Write32(Bytes* bytes, size_t offset, uint32_t value);
// Appends at the end.
void Put16(Bytes* bytes, uint16_t value);
void Put32(Bytes* bytes, uint32_t value);
// Appends zero bytes until the size is a multiple of `alignment`.
void PadTo(Bytes* bytes, size_t alignment);
uint32_t AlignUp(uint32_t value, uint32_t alignment);

// Invalid UTF-8 sequences become U+FFFD.
std::u16string Utf8ToUtf16(std::string_view text);
// Unpaired surrogates become U+FFFD.
std::string Utf16ToUtf8(std::u16string_view text);

}  // namespace javelin::brand
