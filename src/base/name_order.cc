#include "base/name_order.h"

#include <cstdint>

namespace javelin {

namespace {

// A run of units that map to upper case alike: every unit in
// [first, last] whose offset from `first` is a multiple of `step` (1 for
// whole runs; 2 for runs of upper/lower pairs that start at the lower one)
// maps to unit + delta.
struct CaseRange {
  char16_t first;
  char16_t last;
  uint8_t step;
  int16_t delta;
};

constexpr CaseRange kRanges[] = {
    {0x0061, 0x007A, 1, -32},  // a-z
    {0x00E0, 0x00F6, 1, -32},  // Latin-1 letters before the division sign
    {0x00F8, 0x00FE, 1, -32},  // ... and after it
    {0x00FF, 0x00FF, 1, 0x0178 - 0x00FF},
    {0x0101, 0x012F, 2, -1},  // Latin Extended-A, upper at even units
    {0x0133, 0x0137, 2, -1},
    {0x013A, 0x0148, 2, -1},  // upper at odd units
    {0x014B, 0x0177, 2, -1},
    {0x017A, 0x017E, 2, -1},
    {0x01CE, 0x01DC, 2, -1},  // Latin Extended-B pairs
    {0x01DF, 0x01EF, 2, -1},
    {0x01F9, 0x021F, 2, -1},
    {0x0223, 0x0233, 2, -1},
    {0x03AC, 0x03AC, 1, 0x0386 - 0x03AC},  // Greek with tonos
    {0x03AD, 0x03AF, 1, -37},
    {0x03B1, 0x03C1, 1, -32},              // Greek
    {0x03C2, 0x03C2, 1, 0x03A3 - 0x03C2},  // final sigma
    {0x03C3, 0x03CB, 1, -32},
    {0x03CC, 0x03CC, 1, 0x038C - 0x03CC},
    {0x03CD, 0x03CE, 1, -63},
    {0x03D9, 0x03EF, 2, -1},
    {0x0430, 0x044F, 1, -32},  // Cyrillic
    {0x0450, 0x045F, 1, -80},
    {0x0461, 0x0481, 2, -1},
    {0x048B, 0x04BF, 2, -1},
    {0x04C2, 0x04CE, 2, -1},
    {0x04CF, 0x04CF, 1, 0x04C0 - 0x04CF},
    {0x04D1, 0x052F, 2, -1},
    {0x0561, 0x0586, 1, -48},  // Armenian
    {0x1E01, 0x1E95, 2, -1},   // Latin Extended Additional
    {0x1EA1, 0x1EFF, 2, -1},
    {0x2170, 0x217F, 1, -16},  // small Roman numerals
    {0x24D0, 0x24E9, 1, -26},  // circled small letters
    {0xFF41, 0xFF5A, 1, -32},  // full-width a-z
};

}  // namespace

char16_t UpcaseFileNameUnit(char16_t unit) {
  for (const CaseRange& range : kRanges) {
    if (unit < range.first) break;  // the ranges are sorted
    if (unit <= range.last && (unit - range.first) % range.step == 0) {
      return static_cast<char16_t>(unit + range.delta);
    }
  }
  return unit;
}

bool PrecedesInDirectoryOrder(std::u16string_view a, std::u16string_view b) {
  const size_t common = a.size() < b.size() ? a.size() : b.size();
  for (size_t i = 0; i < common; ++i) {
    const char16_t upperA = UpcaseFileNameUnit(a[i]);
    const char16_t upperB = UpcaseFileNameUnit(b[i]);
    if (upperA != upperB) return upperA < upperB;
  }
  if (a.size() != b.size()) return a.size() < b.size();
  return a < b;
}

}  // namespace javelin
