#include "jre/runtime_fixture.h"

#include "base/file_system.h"
#include "jre/binary_machine.h"
#include "support/test_support.h"

namespace javelin::test {

namespace {

void Put16(std::string& bytes, size_t at, uint16_t value, bool bigEndian = false) {
  bytes[at + (bigEndian ? 1 : 0)] = static_cast<char>(value & 0xFF);
  bytes[at + (bigEndian ? 0 : 1)] = static_cast<char>(value >> 8);
}

std::u16string WithSeparator(std::u16string path) {
  if (path.empty() || path.back() != kPathSeparator) path.push_back(kPathSeparator);
  return path;
}

}  // namespace

std::u16string LibraryIn(const std::u16string& home, JvmFlavor flavor) {
  return WithSeparator(home) + JvmLibraryPaths(flavor).front();
}

std::u16string MakeRuntime(const std::u16string& folder, const std::vector<JvmFlavor>& flavors,
                           bool marker) {
  const std::u16string home = WithSeparator(folder);
  MakeDirectories(folder);
  if (marker) WriteFile(home + RuntimeMarkerPaths().front(), "");
  for (JvmFlavor flavor : flavors) WriteFile(LibraryIn(home, flavor), "");
  return home;
}

std::string PeImage(uint16_t machine) {
  std::string bytes(0x100, '\0');
  bytes.replace(0, 2, "MZ");
  bytes[0x3C] = static_cast<char>(0x80);  // offset of the NT headers
  bytes.replace(0x80, 2, "PE");
  Put16(bytes, 0x84, machine);
  return bytes;
}

std::string ElfImage(uint16_t machine, bool bigEndian) {
  std::string bytes(64, '\0');
  bytes.replace(0, 4,
                "\x7F"
                "ELF");
  bytes[4] = 2;  // 64-bit
  bytes[5] = bigEndian ? 2 : 1;
  bytes[6] = 1;                    // version
  Put16(bytes, 16, 3, bigEndian);  // shared object
  Put16(bytes, 18, machine, bigEndian);
  return bytes;
}

// The other common processor: i386 for AMD64 and the other way round.
std::string ForeignBinary() {
  const MachineType own = OwnMachine();
  if (own.format == BinaryFormat::kPe) return PeImage(own.machine == 0x8664 ? 0x014C : 0x8664);
  return ElfImage(own.machine == 62 ? 3 : 62);
}

}  // namespace javelin::test
