#include <sys/resource.h>
#include <unistd.h>

#include <cinttypes>
#include <cstdio>
#include <cstring>

#include "jvm/vm_parameters.h"

namespace javelin {

namespace {

// The user part of a 64-bit address space with four-level page tables
// (x86-64, and the common AArch64 configurations give at least as much).
constexpr uint64_t kUserAddressSpace = uint64_t{1} << 47;

// Bytes of address space mapped in this process, from /proc/self/maps; 0
// where that file does not exist.
uint64_t MappedBytes() {
  FILE* maps = std::fopen("/proc/self/maps", "r");
  if (maps == nullptr) return 0;
  uint64_t total = 0;
  char line[512];
  bool atLineStart = true;
  while (std::fgets(line, sizeof(line), maps) != nullptr) {
    uint64_t start = 0, end = 0;
    // Long lines (long file names) arrive in pieces; only a line's first
    // piece holds the range.
    if (atLineStart && std::sscanf(line, "%" SCNx64 "-%" SCNx64, &start, &end) == 2 &&
        end > start) {
      total += end - start;
    }
    atLineStart = std::strchr(line, '\n') != nullptr;
  }
  std::fclose(maps);
  return total;
}

}  // namespace

// Total physical memory is the number of physical pages times the page size.
// The free address space is what the process may still map: the address-space
// limit (RLIMIT_AS) when one is set, otherwise the user address space, less
// what is mapped already. Both stay 64-bit figures.
MemoryFigures ReadMemoryFigures() {
  MemoryFigures figures;
  const long pages = sysconf(_SC_PHYS_PAGES);
  const long pageSize = sysconf(_SC_PAGESIZE);
  if (pages > 0 && pageSize > 0) {
    figures.totalPhysical = static_cast<uint64_t>(pages) * static_cast<uint64_t>(pageSize);
  }
  uint64_t limit = kUserAddressSpace;
  struct rlimit addressSpace = {};
  if (getrlimit(RLIMIT_AS, &addressSpace) == 0 && addressSpace.rlim_cur != RLIM_INFINITY) {
    limit = static_cast<uint64_t>(addressSpace.rlim_cur);
  }
  const uint64_t mapped = MappedBytes();
  figures.availableVirtual = limit > mapped ? limit - mapped : 0;
  return figures;
}

}  // namespace javelin
