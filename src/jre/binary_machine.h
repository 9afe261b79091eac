// The processor type an executable or shared library is built for, read from
// its PE header (Windows) or ELF header (Linux and other ELF systems).
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

namespace javelin {

enum class BinaryFormat { kPe, kElf };

struct MachineType {
  BinaryFormat format = BinaryFormat::kPe;
  uint16_t machine = 0;  // IMAGE_FILE_HEADER.Machine or ELF e_machine
};

// Gives `count` bytes of a file at `offset`; false when they cannot all be
// read.
using ByteReader = std::function<bool(uint64_t offset, size_t count, uint8_t* bytes)>;

// The machine field of a PE image: the DOS signature "MZ", the pointer to the
// NT headers at 0x3C, the signature "PE\0\0" there and the file header's
// machine right after it. False when any of these is missing.
bool ReadPeMachine(const ByteReader& read, uint16_t& machine);

// e_machine of an ELF file, in the byte order its header states.
bool ReadElfMachine(const ByteReader& read, uint16_t& machine);

// The machine of the file at `path` in the given format; false when the file
// cannot be read or is not such a binary.
bool ReadFileMachine(const std::u16string& path, BinaryFormat format, uint16_t& machine);

// The format and machine of the running launcher itself. Per platform.
MachineType OwnMachine();

// Reads `count` bytes at `offset` of the file at `path`. Per platform.
bool ReadFileBytes(const std::u16string& path, uint64_t offset, size_t count, uint8_t* bytes);

}  // namespace javelin
