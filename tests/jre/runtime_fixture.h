// Fake Java homes and binary headers for the runtime search tests.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "base/file_system.h"
#include "jre/runtime_layout.h"

namespace javelin::test {

// Makes `folder` a Java home in this platform's layout: the runtime marker
// (unless `marker` is false) and an empty JVM library per flavor. Returns the
// home ending in the separator.
std::u16string MakeRuntime(const std::u16string& folder, const std::vector<JvmFlavor>& flavors,
                           bool marker = true);
std::u16string LibraryIn(const std::u16string& home, JvmFlavor flavor);

// Minimal PE and ELF headers naming `machine`.
std::string PeImage(uint16_t machine);
std::string ElfImage(uint16_t machine, bool bigEndian = false);
// A binary of this platform's format for another processor than the launcher's.
std::string ForeignBinary();

}  // namespace javelin::test
