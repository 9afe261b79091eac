#include "jre/binary_machine.h"

namespace javelin {

namespace {

uint16_t LittleEndian16(const uint8_t* bytes) {
  return static_cast<uint16_t>(bytes[0] | (bytes[1] << 8));
}

uint32_t LittleEndian32(const uint8_t* bytes) {
  return static_cast<uint32_t>(bytes[0]) | (static_cast<uint32_t>(bytes[1]) << 8) |
         (static_cast<uint32_t>(bytes[2]) << 16) | (static_cast<uint32_t>(bytes[3]) << 24);
}

constexpr uint64_t kNtHeadersPointerOffset = 0x3C;
constexpr uint8_t kElfLittleEndian = 1;
constexpr uint8_t kElfBigEndian = 2;
constexpr uint64_t kElfDataOffset = 5;
constexpr uint64_t kElfMachineOffset = 18;

}  // namespace

bool ReadPeMachine(const ByteReader& read, uint16_t& machine) {
  uint8_t dos[2];
  if (!read(0, sizeof dos, dos) || dos[0] != 'M' || dos[1] != 'Z') return false;
  uint8_t pointer[4];
  if (!read(kNtHeadersPointerOffset, sizeof pointer, pointer)) return false;
  // The NT headers: the signature, then the file header whose first field
  // is the machine.
  uint8_t nt[6];
  if (!read(LittleEndian32(pointer), sizeof nt, nt)) return false;
  if (nt[0] != 'P' || nt[1] != 'E' || nt[2] != 0 || nt[3] != 0) return false;
  machine = LittleEndian16(nt + 4);
  return true;
}

bool ReadElfMachine(const ByteReader& read, uint16_t& machine) {
  uint8_t header[20];
  if (!read(0, sizeof header, header)) return false;
  if (header[0] != 0x7F || header[1] != 'E' || header[2] != 'L' || header[3] != 'F') return false;
  const uint8_t* field = header + kElfMachineOffset;
  switch (header[kElfDataOffset]) {
    case kElfLittleEndian:
      machine = LittleEndian16(field);
      return true;
    case kElfBigEndian:
      machine = static_cast<uint16_t>((field[0] << 8) | field[1]);
      return true;
    default:
      return false;
  }
}

bool ReadFileMachine(const std::u16string& path, BinaryFormat format, uint16_t& machine) {
  const ByteReader read = [&path](uint64_t offset, size_t count, uint8_t* bytes) {
    return ReadFileBytes(path, offset, count, bytes);
  };
  return format == BinaryFormat::kPe ? ReadPeMachine(read, machine) : ReadElfMachine(read, machine);
}

}  // namespace javelin
