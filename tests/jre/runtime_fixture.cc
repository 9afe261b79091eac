#include "jre/runtime_fixture.h"

#include <cstdlib>

#include "base/file_system.h"
#include "base/text.h"
#include "jre/binary_machine.h"
#include "support/test_support.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace javelin::test {

namespace {

void Put16(std::string& bytes, size_t at, uint16_t value, bool bigEndian = false) {
  bytes[at + (bigEndian ? 1 : 0)] = static_cast<char>(value & 0xFF);
  bytes[at + (bigEndian ? 0 : 1)] = static_cast<char>(value >> 8);
}

// The other common processor: i386 for an AMD64 launcher and the other way
// round (x86_64 and i386 in ELF terms).
uint16_t OtherMachine(const MachineType& own) {
  if (own.format == BinaryFormat::kPe) return own.machine == 0x8664 ? 0x014C : 0x8664;
  return own.machine == 62 ? 3 : 62;
}

std::string BinaryFor(const MachineType& own, uint16_t machine) {
  return own.format == BinaryFormat::kPe ? PeImage(machine) : ElfImage(machine);
}

#ifdef _WIN32
std::optional<std::u16string> ReadVariable(const std::u16string& name) {
  wchar_t buffer[32768];
  const DWORD length = GetEnvironmentVariableW(reinterpret_cast<const wchar_t*>(name.c_str()),
                                               buffer, 32768);
  if (length == 0 && GetLastError() == ERROR_ENVVAR_NOT_FOUND) return std::nullopt;
  return std::u16string(reinterpret_cast<const char16_t*>(buffer), length);
}
void WriteVariable(const std::u16string& name, const std::optional<std::u16string>& value) {
  SetEnvironmentVariableW(reinterpret_cast<const wchar_t*>(name.c_str()),
                          value ? reinterpret_cast<const wchar_t*>(value->c_str()) : nullptr);
}
#else
std::optional<std::u16string> ReadVariable(const std::u16string& name) {
  const char* value = getenv(ToUtf8(name).c_str());
  if (value == nullptr) return std::nullopt;
  return FromUtf8(value);
}
void WriteVariable(const std::u16string& name, const std::optional<std::u16string>& value) {
  if (value) {
    setenv(ToUtf8(name).c_str(), ToUtf8(*value).c_str(), 1);
  } else {
    unsetenv(ToUtf8(name).c_str());
  }
}
#endif

}  // namespace

std::u16string WithSeparator(std::u16string path) {
  if (path.empty() || path.back() != kPathSeparator) path.push_back(kPathSeparator);
  return path;
}

std::u16string LibraryIn(const std::u16string& home, JvmFlavor flavor) {
  return WithSeparator(home) + JvmLibraryPaths(flavor).front();
}

std::u16string MakeRuntime(const std::u16string& folder, std::initializer_list<JvmFlavor> flavors,
                           bool marker) {
  const std::u16string home = WithSeparator(folder);
  MakeDirectories(folder);
  if (marker) WriteFile(home + RuntimeMarkerPaths().front(), "");
  for (JvmFlavor flavor : flavors) WriteFile(LibraryIn(home, flavor), "");
  return home;
}

std::string PeImage(uint16_t machine) {
  std::string bytes(0x100, '\0');
  bytes[0] = 'M';
  bytes[1] = 'Z';
  bytes[0x3C] = static_cast<char>(0x80);
  bytes[0x80] = 'P';
  bytes[0x81] = 'E';
  Put16(bytes, 0x84, machine);
  return bytes;
}

std::string ElfImage(uint16_t machine, bool bigEndian) {
  std::string bytes(64, '\0');
  bytes[0] = 0x7F;
  bytes[1] = 'E';
  bytes[2] = 'L';
  bytes[3] = 'F';
  bytes[4] = 2;  // 64-bit
  bytes[5] = bigEndian ? 2 : 1;
  bytes[6] = 1;  // version
  Put16(bytes, 16, 3, bigEndian);  // shared object
  Put16(bytes, 18, machine, bigEndian);
  return bytes;
}

std::string ForeignBinary() {
  const MachineType own = OwnMachine();
  return BinaryFor(own, OtherMachine(own));
}

std::string NativeBinary() {
  const MachineType own = OwnMachine();
  return BinaryFor(own, own.machine);
}

EnvironmentOverride::EnvironmentOverride(const std::u16string& name,
                                     const std::optional<std::u16string>& value)
    : name_(name), previous_(ReadVariable(name)) {
  WriteVariable(name, value);
}

EnvironmentOverride::~EnvironmentOverride() { WriteVariable(name_, previous_); }

}  // namespace javelin::test
