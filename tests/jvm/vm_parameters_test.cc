#include "jvm/vm_parameters.h"

#include <gtest/gtest.h>

namespace javelin {
namespace {

MemoryFigures TwoGigabytes() {
  MemoryFigures figures;
  figures.totalPhysical = 2147483648u;
  figures.availableVirtual = 1073741824u;
  return figures;
}

int figureReads = 0;
MemoryFigures CountedTwoGigabytes() {
  ++figureReads;
  return TwoGigabytes();
}

struct Split {
  TextList options;
  uint32_t stackSize = 0;
};

Split SplitWithTwoGigabytes(const std::u16string& value) {
  Split split;
  SplitVmParameters(value, split.options, split.stackSize, CountedTwoGigabytes);
  return split;
}

TEST(MemoryPercentage, SizesHeapsAsShareOfTheMeasuredMemoryWithinTheLimits) {
  const MemoryFigures figures = TwoGigabytes();
  EXPECT_EQ(ApplyMemoryPercentage(u"-Xmx50P", figures), u"-Xmx1048576K");
  EXPECT_EQ(ApplyMemoryPercentage(u"-Xmx50p", figures), u"-Xmx1048576K");
  // Capped at the maximum, raised to the minimum.
  EXPECT_EQ(ApplyMemoryPercentage(u"-Xmx50:256:768P", figures), u"-Xmx786432K");
  EXPECT_EQ(ApplyMemoryPercentage(u"-Xmx10:512P", figures), u"-Xmx524288K");
  // No percentage: the minimum alone decides.
  EXPECT_EQ(ApplyMemoryPercentage(u"-Xmx:256:512P", figures), u"-Xmx262144K");
  // When minimum and maximum conflict, the minimum wins.
  EXPECT_EQ(ApplyMemoryPercentage(u"-Xms50:900:800P", figures), u"-Xms921600K");
  // T measures the free address space instead.
  EXPECT_EQ(ApplyMemoryPercentage(u"-Xms60T", figures), u"-Xms629145K");
  EXPECT_EQ(ApplyMemoryPercentage(u"-Xss1t", figures), u"-Xss10485K");
  // Numbers after the third are ignored.
  EXPECT_EQ(ApplyMemoryPercentage(u"-Xmx50:0:768:1P", figures), u"-Xmx786432K");
}

TEST(MemoryPercentage, KeepsLargeMachinesFiguresButWritesASigned32BitNumber) {
  MemoryFigures figures;
  figures.totalPhysical = uint64_t{64} << 30;  // 64 GB
  EXPECT_EQ(ApplyMemoryPercentage(u"-Xmx50P", figures), u"-Xmx33554432K");
  // 2 TB of kilobytes no longer fit a signed 32-bit number: the option is
  // written negative and the JVM refuses it.
  figures.totalPhysical = uint64_t{4} << 40;
  EXPECT_EQ(ApplyMemoryPercentage(u"-Xmx50P", figures), u"-Xmx-2147483648K");
}

TEST(MemoryPercentage, NumbersAreReadAfterTheOptionNameUpToTheFinalLetter) {
  std::vector<uint32_t> numbers;
  EXPECT_EQ(ParseNumberList(u"-Xmx50:256:1024P", numbers), 4u);
  EXPECT_EQ(numbers, (std::vector<uint32_t>{50, 256, 1024}));
  EXPECT_EQ(ParseNumberList(u"-Xmx:256P", numbers), 4u);
  EXPECT_EQ(numbers, (std::vector<uint32_t>{0, 256}));
  // Other characters inside are skipped; the last character is never read.
  EXPECT_EQ(ParseNumberList(u"-Xmx5x0:2", numbers), 4u);
  EXPECT_EQ(numbers, (std::vector<uint32_t>{50, 0}));
  EXPECT_EQ(ParseNumberList(u"-XmxP", numbers), 5u);
  EXPECT_TRUE(numbers.empty());
  // Numbers wrap around at 2^32.
  ParseNumberList(u"-Xmx4294967297P", numbers);
  EXPECT_EQ(numbers, (std::vector<uint32_t>{1}));
}

TEST(VmParameters, QuotesProtectBlanksAndDisappear) {
  const Split split = SplitWithTwoGigabytes(u"-Dapp.home=\"C:\\Program Files\\App\" -Xmx256m");
  EXPECT_EQ(split.options, (TextList{u"-Dapp.home=C:\\Program Files\\App", u"-Xmx256m"}));

  // Several blanks act as one separator; quotes in the middle of an option
  // and whole quoted options work alike.
  EXPECT_EQ(SplitWithTwoGigabytes(u"-a   \"-Db=x y\"  -Dc=\"1 2\"3").options,
            (TextList{u"-a", u"-Db=x y", u"-Dc=1 23"}));
  EXPECT_TRUE(SplitWithTwoGigabytes(u"").options.empty());
}

TEST(VmParameters, QuotePairsAreRemovedAndUnpairedQuotesStay) {
  EXPECT_EQ(StripQuotePairs(u"-Dx=\"a b\""), u"-Dx=a b");
  EXPECT_EQ(StripQuotePairs(u"\"a\"\"b\""), u"a\"b\"");
  EXPECT_EQ(StripQuotePairs(u"-Dx=\"a"), u"-Dx=\"a");
  EXPECT_EQ(StripQuotePairs(u"-Dx=\""), u"-Dx=\"");
  EXPECT_EQ(StripQuotePairs(u"\"\"\"x\"y\"z"), u"\"xyz");
  // A blank inside an unpaired quote still ends the option.
  EXPECT_EQ(SplitWithTwoGigabytes(u"-Da=\"x y").options, (TextList{u"-Da=\"x", u"y"}));
}

TEST(VmParameters, RewritesOnlyTheThreeMemoryOptionsInPercentageForm) {
  figureReads = 0;
  const Split split =
      SplitWithTwoGigabytes(u"-XMX50P -Xmx50 -Xmx50P -Dmx=50P -Xms10:512P -Xmn50P");
  EXPECT_EQ(split.options, (TextList{u"-XMX50P", u"-Xmx50", u"-Xmx1048576K", u"-Dmx=50P",
                                     u"-Xms524288K", u"-Xmn50P"}));
  // The memory figures are read once for all options.
  EXPECT_EQ(figureReads, 1);

  figureReads = 0;
  SplitWithTwoGigabytes(u"-Xmx512m -Xss1m");
  EXPECT_EQ(figureReads, 0);
}

TEST(VmParameters, StackSizeComesFromTheLastXssOption) {
  EXPECT_EQ(SplitWithTwoGigabytes(u"-Xss512k").stackSize, 524288u);
  EXPECT_EQ(SplitWithTwoGigabytes(u"-Xss1m").stackSize, 1048576u);
  EXPECT_EQ(SplitWithTwoGigabytes(u"-Xss1G").stackSize, 1073741824u);
  EXPECT_EQ(SplitWithTwoGigabytes(u"-Xss2097152").stackSize, 2097152u);
  EXPECT_EQ(SplitWithTwoGigabytes(u"-Xss1m -Xss256k").stackSize, 262144u);
  // The option still reaches the JVM as written.
  EXPECT_EQ(SplitWithTwoGigabytes(u"-Xss512k").options, (TextList{u"-Xss512k"}));
  // A percentage stack size is rewritten to kilobytes first.
  const Split percentage = SplitWithTwoGigabytes(u"-Xss50:1:4T");
  EXPECT_EQ(percentage.options, (TextList{u"-Xss4096K"}));
  EXPECT_EQ(percentage.stackSize, 4194304u);
  // A later option that yields no size brings back the JVM's default.
  EXPECT_EQ(SplitWithTwoGigabytes(u"-Xss1m -Xss%STACK%").stackSize, 0u);
  EXPECT_EQ(SplitWithTwoGigabytes(u"-Xss1m -Xss1:2k").stackSize, 0u);
  EXPECT_EQ(SplitWithTwoGigabytes(u"-Xss1m -Xssk").stackSize, 0u);
  // Without any -Xss option the size stays as it was.
  Split untouched;
  untouched.stackSize = 777;
  SplitVmParameters(u"-Xmx1m", untouched.options, untouched.stackSize, CountedTwoGigabytes);
  EXPECT_EQ(untouched.stackSize, 777u);
  // Unit multipliers wrap in 32 bits.
  EXPECT_EQ(StackSizeFromOption(u"-Xss5g"), 1073741824u);
  EXPECT_EQ(StackSizeFromOption(u"-Xss:1"), 0u);
}

TEST(VmParameters, TheMachineReportsUsableMemoryFigures) {
  const MemoryFigures figures = ReadMemoryFigures();
  EXPECT_GT(figures.totalPhysical, uint64_t{16} << 20);
  EXPECT_GT(figures.availableVirtual, uint64_t{16} << 20);
  // A small share of the real memory gives a heap option the JVM accepts.
  TextList options;
  uint32_t stackSize = 0;
  SplitVmParameters(u"-Xmx1:16:64P", options, stackSize, ReadMemoryFigures);
  ASSERT_EQ(options.size(), 1u);
  const std::u16string kilobytes = options[0].substr(4, options[0].size() - 5);
  EXPECT_GE(std::stol(std::string(kilobytes.begin(), kilobytes.end())), 16384);
  EXPECT_LE(std::stol(std::string(kilobytes.begin(), kilobytes.end())), 65536);
}

}  // namespace
}  // namespace javelin
