#include "jre/binary_machine.h"

#include <gtest/gtest.h>

#include "jre/jvm_library.h"
#include "jre/runtime_fixture.h"
#include "support/test_support.h"

namespace javelin {
namespace {

bool ReadMachine(const std::string& bytes, BinaryFormat format, uint16_t& machine) {
  const ByteReader read = [&bytes](uint64_t offset, size_t count, uint8_t* out) {
    if (offset > bytes.size() || count > bytes.size() - offset) return false;
    for (size_t i = 0; i < count; ++i) out[i] = static_cast<uint8_t>(bytes[offset + i]);
    return true;
  };
  return format == BinaryFormat::kPe ? ReadPeMachine(read, machine) : ReadElfMachine(read, machine);
}

TEST(BinaryMachine, HeadersNameTheMachineAndDamagedHeadersNone) {
  std::string noDos = test::PeImage(0x8664), noPe = noDos, farPointer = noDos;
  noDos[1] = 'X';
  noPe[0x82] = 'X';
  farPointer[0x3D] = 0x7F;  // NT headers beyond the end of the file
  std::string badOrder = test::ElfImage(62);
  badOrder[5] = 3;
  const BinaryFormat pe = BinaryFormat::kPe, elf = BinaryFormat::kElf;
  const struct { std::string bytes; BinaryFormat format; int machine; } cases[] = {
      {test::PeImage(0x014C), pe, 0x014C}, {noDos, pe, -1},      {noPe, pe, -1},
      {farPointer, pe, -1},                {"MZ", pe, -1},       {test::ElfImage(62), elf, 62},
      {test::ElfImage(22, true), elf, 22}, {badOrder, elf, -1},  {"\x7F" "ELF", elf, -1},
  };
  for (size_t i = 0; i < std::size(cases); ++i) {
    uint16_t machine = 0;
    EXPECT_EQ(ReadMachine(cases[i].bytes, cases[i].format, machine), cases[i].machine >= 0) << i;
    if (cases[i].machine >= 0) {
      EXPECT_EQ(machine, cases[i].machine) << i;
    }
  }
  // The launcher, built like this test program, is of the machine it reports.
  uint16_t machine = 0;
  ASSERT_TRUE(ReadFileMachine(test::LauncherPath(), OwnMachine().format, machine));
  EXPECT_EQ(machine, OwnMachine().machine);
}

// A foreign library hands over to the pair launcher (shown end to end); what
// is no library of another processor does not.
TEST(MachineCheck, OnlyAForeignLibraryHandsOverAndOnlyWithAPairLauncher) {
  test::TempDir dir;
  test::WriteFile(dir / u"foreign", test::ForeignBinary());
  test::WriteFile(dir / u"text", "not a binary at all");
  const bool pe = OwnMachine().format == BinaryFormat::kPe;
  test::WriteFile(dir / u"other", pe ? test::ElfImage(62) : test::PeImage(0x8664));
  EXPECT_FALSE(CheckJvmMachine(dir / u"foreign", u"")) << "no pair launcher";
  for (const std::u16string& path : {test::LauncherPath(), dir / u"text", dir / u"other", dir / u"missing"}) {
    EXPECT_FALSE(CheckJvmMachine(path, dir / u"pair")) << ToUtf8(path);
  }
}

}  // namespace
}  // namespace javelin
