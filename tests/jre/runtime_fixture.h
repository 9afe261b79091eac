// Fake and real Java homes, binary headers and environment changes for the
// runtime search tests.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>

#include "jre/runtime_layout.h"

namespace javelin::test {

// `path` with the platform separator at its end.
std::u16string WithSeparator(std::u16string path);

// Makes `folder` a Java home: the runtime marker (when `marker` is set) and
// an empty JVM library for each flavor, in this platform's layout. Returns
// the home (ending in the separator).
std::u16string MakeRuntime(const std::u16string& folder, std::initializer_list<JvmFlavor> flavors,
                           bool marker = true);

// The library of `flavor` inside `home` as this platform lays it out.
std::u16string LibraryIn(const std::u16string& home, JvmFlavor flavor);

// Minimal headers of a PE image and of an ELF file for `machine`.
std::string PeImage(uint16_t machine);
std::string ElfImage(uint16_t machine, bool bigEndian = false);

// A binary of this platform's format built for another processor than the
// one the launcher runs on, and one for the launcher's own processor.
std::string ForeignBinary();
std::string NativeBinary();

// Sets (or with nullopt removes) an environment variable of this process
// and restores the previous state on destruction.
class EnvironmentOverride {
 public:
  EnvironmentOverride(const std::u16string& name, const std::optional<std::u16string>& value);
  ~EnvironmentOverride();
  EnvironmentOverride(const EnvironmentOverride&) = delete;
  EnvironmentOverride& operator=(const EnvironmentOverride&) = delete;

 private:
  std::u16string name_;
  std::optional<std::u16string> previous_;
};

}  // namespace javelin::test
