// Tokenizing and rewriting the "Virtual Machine Parameters" setting.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "base/text.h"

namespace javelin {

class Launcher;

struct MemoryFigures {
  uint64_t totalPhysical = 0;     // bytes
  uint64_t availableVirtual = 0;  // bytes of free address space
};

// GlobalMemoryStatus on Windows; sysconf and the address-space limit on POSIX.
MemoryFigures ReadMemoryFigures();

void SplitVmParameters(const std::u16string& value, TextList& options, Launcher& launcher);
std::u16string StripQuotePairs(const std::u16string& token);
std::u16string ApplyMemoryPercentage(const std::u16string& token, const MemoryFigures& figures);
// Returns the prefix length; fills `numbers`.
size_t ParseNumberList(const std::u16string& text, std::vector<uint32_t>& numbers);
// The stack size a "-Xss" token sets (0 = JVM default).
uint32_t StackSizeFromOption(const std::u16string& token);

}  // namespace javelin
