#include "jvm/vm_parameters.h"

#include <gtest/gtest.h>

namespace javelin {
namespace {

// 2 GiB of physical memory and 1 GiB of free address space.
MemoryFigures TwoGigabytes() {
  MemoryFigures figures;
  figures.totalPhysical = uint64_t{2} << 30;
  figures.availableVirtual = uint64_t{1} << 30;
  return figures;
}

TEST(VmParameters, PercentageSizesBecomeKilobytesOfTheMeasuredMemoryWithinTheLimits) {
  const struct {
    const char16_t* option;
    const char16_t* expected;
  } cases[] = {
      {u"-Xmx50P", u"-Xmx1048576K"},
      {u"-Xmx50p", u"-Xmx1048576K"},
      {u"-Xmx50:256:768P", u"-Xmx786432K"},   // capped at the maximum (MB)
      {u"-Xmx10:512P", u"-Xmx524288K"},       // raised to the minimum
      {u"-Xmx:256:512P", u"-Xmx262144K"},     // no percentage: the minimum
      {u"-Xms50:900:800P", u"-Xms921600K"},   // the minimum wins over the maximum
      {u"-Xms60T", u"-Xms629145K"},           // T: the free address space
      {u"-Xss1t", u"-Xss10485K"},
      {u"-Xmx50:0:768:1P", u"-Xmx786432K"},   // numbers after the third are ignored
      {u"-Xmx5x0P", u"-Xmx1048576K"},         // other characters are skipped
      {u"-Xmx4294967346P", u"-Xmx1048576K"},  // numbers wrap around at 2^32
  };
  for (const auto& test : cases) {
    EXPECT_EQ(ToUtf8(ApplyMemoryPercentage(test.option, TwoGigabytes())), ToUtf8(test.expected));
  }
  // Large machines keep their figures, but the number is written as a signed
  // 32-bit one: beyond it the option turns negative and the JVM refuses it.
  MemoryFigures large;
  large.totalPhysical = uint64_t{64} << 30;
  EXPECT_EQ(ApplyMemoryPercentage(u"-Xmx50P", large), u"-Xmx33554432K");
  large.totalPhysical = uint64_t{4} << 40;
  EXPECT_EQ(ApplyMemoryPercentage(u"-Xmx50P", large), u"-Xmx-2147483648K");
}

TEST(VmParameters, BlanksOutsideQuotesSplitAndQuotePairsDisappear) {
  const struct {
    const char16_t* value;
    TextList options;
  } cases[] = {
      {u"-Dapp.home=\"C:\\Program Files\\App\" -Xmx256m", {u"-Dapp.home=C:\\Program Files\\App", u"-Xmx256m"}},
      {u"-a   \"-Db=x y\"  -Dc=\"1 2\"3", {u"-a", u"-Db=x y", u"-Dc=1 23"}},
      {u"", {}},
      // No empty option: neither from the blank of a "+" section nor from "".
      {u" -Dx=1", {u"-Dx=1"}},
      {u"-Da \"\" -Db", {u"-Da", u"-Db"}},
      // An unpaired quote stays, and a blank after it still splits.
      {u"-Da=\"x y", {u"-Da=\"x", u"y"}},
      {u"\"a\"\"b\"", {u"a\"b\""}},
      {u"\"\"\"x\"y\"z", {u"\"xyz"}},
      // Only -Xmx, -Xms and -Xss in percentage form are rewritten.
      {u"-XMX50P -Xmx50 -Xmx50P -Dmx=50P -Xms10:512P -Xmn50P",
       {u"-XMX50P", u"-Xmx50", u"-Xmx1048576K", u"-Dmx=50P", u"-Xms524288K", u"-Xmn50P"}},
  };
  for (const auto& test : cases) {
    EXPECT_EQ(SplitVmParameters(test.value, TwoGigabytes).options, test.options) << ToUtf8(test.value);
  }
}

TEST(VmParameters, TheLastXssOptionSetsTheStackSize) {
  const struct {
    const char16_t* value;
    uint32_t stackSize;
  } cases[] = {
      {u"-Xss512k", 524288},
      {u"-Xss1G", 1073741824},
      {u"-Xss2097152", 2097152},
      {u"-Xss1m -Xss256k", 262144},
      {u"-Xss50:1:4T", 4194304},  // rewritten to kilobytes first
      {u"-Xss5g", 1073741824},    // the multiplier wraps in 32 bits
      // A later option without a size brings back the JVM's default.
      {u"-Xss1m -Xss%STACK%", 0},
      {u"-Xss1m -Xss1:2k", 0},
      {u"-Xss1m -Xssk", 0},
      {u"-Xss1m -Xss:1", 0},
      {u"-Xmx1m", 0},  // no -Xss: none configured
  };
  for (const auto& test : cases) {
    EXPECT_EQ(SplitVmParameters(test.value, TwoGigabytes).threadStackSize, test.stackSize)
        << ToUtf8(test.value);
  }
}

TEST(VmParameters, TheMachineReportsUsableMemoryFigures) {
  const MemoryFigures figures = ReadMemoryFigures();
  EXPECT_GT(figures.totalPhysical, uint64_t{16} << 20);
  EXPECT_GT(figures.availableVirtual, uint64_t{16} << 20);
}

}  // namespace
}  // namespace javelin
