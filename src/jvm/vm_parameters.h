// Tokenizing and rewriting the "Virtual Machine Parameters" setting.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "base/text.h"

namespace javelin {

struct MemoryFigures {
  uint64_t totalPhysical = 0;     // bytes
  uint64_t availableVirtual = 0;  // bytes of free address space
};

// GlobalMemoryStatus on Windows; sysconf and the address-space limit on POSIX.
MemoryFigures ReadMemoryFigures();

// The options of a "Virtual Machine Parameters" value and the thread stack
// size its last "-Xss" option sets (0 when it has none).
struct VmParameters {
  TextList options;
  uint32_t threadStackSize = 0;
};

// Cuts `value` into options at blanks outside double-quote pairs and
// processes each in order: quote pairs removed, percentage heap sizes
// rewritten with the memory figures (read from `readFigures` at most once,
// and only when an option needs them), stack sizes noted. Leading blanks
// and empty tokens yield no option: the JVM refuses an empty one.
VmParameters SplitVmParameters(const std::u16string& value,
                               MemoryFigures (*readFigures)() = ReadMemoryFigures);

// `token` with each pair of double quotes removed (the text between them
// kept); an unpaired quote stays.
std::u16string StripQuotePairs(const std::u16string& token);

// Pointer width of this build: 32 or 64.
constexpr unsigned kProcessBits = sizeof(void*) * 8;

// Rewrites "-Xmx50:256:1024P" and the like (percentage, minimum MB, maximum
// MB; P = physical memory, T = free address space) into "-Xmx<n>K".
// `processBits` 32: unsigned 32-bit kilobytes written as a signed number, so
// figures of 2 TB and more wrap. 64: the free address space counts as at
// most 4 GB and the kilobytes are computed in 64 bits and capped at the
// largest signed 32-bit number, so the result is never negative.
std::u16string ApplyMemoryPercentage(const std::u16string& token, const MemoryFigures& figures,
                                     unsigned processBits = kProcessBits);

// Returns the length of the prefix before the first digit or ':' and fills
// `numbers` with the ':'-separated decimal numbers after it (the last
// character of `text` is not read). Numbers wrap around at 2^32.
size_t ParseNumberList(const std::u16string& text, std::vector<uint32_t>& numbers);

// The stack size in bytes that a "-Xss" token sets (0 = the JVM's default).
uint32_t StackSizeFromOption(const std::u16string& token);

}  // namespace javelin
