#include "jvm/vm_parameters.h"

#include <gtest/gtest.h>

namespace javelin {
namespace {

constexpr uint64_t kGiB = uint64_t{1} << 30;
constexpr uint64_t kTiB = uint64_t{1} << 40;

// 2 GiB of physical memory and 1 GiB of free address space.
MemoryFigures TwoGigabytes() { return MemoryFigures{2 * kGiB, kGiB}; }

TEST(VmParameters, PercentageSizesBecomeKilobytesOfTheMeasuredMemoryWithinTheLimits) {
  const struct {
    unsigned bits;
    uint64_t physical, addressSpace;
    const char16_t* option;
    const char16_t* expected;
  } cases[] = {
      {64, 2 * kGiB, kGiB, u"-Xmx50P", u"-Xmx1048576K"},
      {64, 2 * kGiB, kGiB, u"-Xmx50:256:768P", u"-Xmx786432K"},  // capped at the maximum (MB)
      {64, 2 * kGiB, kGiB, u"-Xmx10:512P", u"-Xmx524288K"},      // raised to the minimum
      {64, 2 * kGiB, kGiB, u"-Xmx:256:512P", u"-Xmx262144K"},    // no percentage: the minimum
      {64, 2 * kGiB, kGiB, u"-Xms50:900:800P",
       u"-Xms921600K"},                                  // the minimum wins over the maximum
      {64, 2 * kGiB, kGiB, u"-Xms60T", u"-Xms629145K"},  // T: the free address space
      {64, 2 * kGiB, kGiB, u"-Xss1t", u"-Xss10485K"},    // the letter in either case
      {64, 2 * kGiB, kGiB, u"-Xmx50:0:768:1P", u"-Xmx786432K"},   // the fourth is ignored
      {64, 2 * kGiB, kGiB, u"-Xmx5x0P", u"-Xmx1048576K"},         // other characters are skipped
      {64, 2 * kGiB, kGiB, u"-Xmx4294967346P", u"-Xmx1048576K"},  // numbers wrap around at 2^32
      // 32-bit: unsigned 32-bit kilobytes written signed, as they always were.
      {32, 4 * kTiB, 0, u"-Xmx50P", u"-Xmx-2147483648K"},
      {32, 0, 128 * kTiB, u"-Xmx50T", u"-Xmx0K"},           // 2^36 KB wraps to 0
      {32, 2 * kGiB, 0, u"-Xmx1:4194304P", u"-Xmx20971K"},  // the minimum's MB wrap to 0
      // 64-bit: the address space counts as at most 4 GB (less one byte).
      {64, 0, 140737488355328 - 123456789, u"-Xmx100t", u"-Xmx4194303K"},
      {64, 0, 3 * kGiB, u"-Xmx50T", u"-Xmx1572864K"},  // below 4 GB: unchanged
      // Physical memory keeps its size; the result stops at 2^31 - 1 KB.
      {64, 4 * kTiB, 0, u"-Xmx50P", u"-Xmx2147483647K"},
      // Limits in megabytes do not wrap either.
      {64, 2 * kGiB, 0, u"-Xmx1:4194304P", u"-Xmx2147483647K"},
      {64, ~uint64_t{0}, 0, u"-Xmx4294967295:1:2P", u"-Xmx2048K"},
  };
  for (const auto& test : cases) {
    EXPECT_EQ(
        ToUtf8(ApplyMemoryPercentage(test.option, {test.physical, test.addressSpace}, test.bits)),
        ToUtf8(test.expected))
        << test.bits << " " << ToUtf8(test.option);
  }
}

TEST(VmParameters, BlanksOutsideQuotesSplitAndQuotePairsDisappear) {
  const struct {
    const char16_t* value;
    TextList options;
  } cases[] = {
      {u"-Dapp.home=\"C:\\Program Files\\App\" -Xmx256m",
       {u"-Dapp.home=C:\\Program Files\\App", u"-Xmx256m"}},
      {u"-a   \"-Db=x y\"  -Dc=\"1 2\"3", {u"-a", u"-Db=x y", u"-Dc=1 23"}},
      {u"", {}},
      // No empty option: neither from the blank of a "+" section nor from "".
      {u" -Dx=1", {u"-Dx=1"}},
      {u"-Da \"\" -Db", {u"-Da", u"-Db"}},
      // An unpaired quote stays, and a blank after it still splits.
      {u"-Da=\"x y", {u"-Da=\"x", u"y"}},
      {u"\"a\"\"b\"", {u"a\"b\""}},
      // Only -Xmx, -Xms and -Xss in percentage form are rewritten.
      {u"-XMX50P -Xmx50 -Xmx50P -Dmx=50P -Xms10:512P -Xmn50P",
       {u"-XMX50P", u"-Xmx50", u"-Xmx1048576K", u"-Dmx=50P", u"-Xms524288K", u"-Xmn50P"}},
  };
  for (const auto& test : cases) {
    EXPECT_EQ(SplitVmParameters(test.value, TwoGigabytes).options, test.options)
        << ToUtf8(test.value);
  }
}

TEST(VmParameters, TheLastXssOptionSetsTheStackSize) {
  const struct {
    const char16_t* value;
    uint32_t stackSize;
  } cases[] = {
      {u"-Xss2097152", 2097152},
      {u"-Xss1m -Xss256k", 262144},
      {u"-Xss50:1:4T", 4194304},  // rewritten to kilobytes first
      {u"-Xss5g", 1073741824},    // the multiplier wraps in 32 bits
      // A later option without a size brings back the JVM's default.
      {u"-Xss1m -Xss%STACK%", 0},
      {u"-Xss1m -Xssk", 0},
      {u"-Xmx1m", 0},  // no -Xss: none configured
  };
  for (const auto& test : cases) {
    EXPECT_EQ(SplitVmParameters(test.value, TwoGigabytes).threadStackSize, test.stackSize)
        << ToUtf8(test.value);
  }
}

}  // namespace
}  // namespace javelin
