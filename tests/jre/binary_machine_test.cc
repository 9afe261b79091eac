#include "jre/binary_machine.h"

#include <gtest/gtest.h>

#include "jre/jvm_library.h"
#include "jre/runtime_fixture.h"
#include "launcher/launcher.h"
#include "support/test_support.h"

namespace javelin {
namespace {

ByteReader ReaderOf(const std::string& bytes) {
  return [bytes](uint64_t offset, size_t count, uint8_t* out) {
    if (offset > bytes.size() || count > bytes.size() - offset) return false;
    for (size_t i = 0; i < count; ++i) out[i] = static_cast<uint8_t>(bytes[offset + i]);
    return true;
  };
}

TEST(BinaryMachine, PeHeaderGivesTheMachineBehindTheDosHeader) {
  uint16_t machine = 0;
  ASSERT_TRUE(ReadPeMachine(ReaderOf(test::PeImage(0x8664)), machine));
  EXPECT_EQ(machine, 0x8664);
  ASSERT_TRUE(ReadPeMachine(ReaderOf(test::PeImage(0x014C)), machine));
  EXPECT_EQ(machine, 0x014C);

  std::string noDos = test::PeImage(0x8664);
  noDos[1] = 'X';
  EXPECT_FALSE(ReadPeMachine(ReaderOf(noDos), machine));
  std::string noPe = test::PeImage(0x8664);
  noPe[0x82] = 'X';
  EXPECT_FALSE(ReadPeMachine(ReaderOf(noPe), machine));
  std::string pointerOutside = test::PeImage(0x8664);
  pointerOutside[0x3D] = 0x7F;  // NT headers far beyond the end of the file
  EXPECT_FALSE(ReadPeMachine(ReaderOf(pointerOutside), machine));
  EXPECT_FALSE(ReadPeMachine(ReaderOf("MZ"), machine));
  EXPECT_FALSE(ReadPeMachine(ReaderOf(test::ElfImage(62)), machine));
}

TEST(BinaryMachine, ElfHeaderGivesTheMachineInEitherByteOrder) {
  uint16_t machine = 0;
  ASSERT_TRUE(ReadElfMachine(ReaderOf(test::ElfImage(62)), machine));
  EXPECT_EQ(machine, 62);
  ASSERT_TRUE(ReadElfMachine(ReaderOf(test::ElfImage(22, true)), machine));
  EXPECT_EQ(machine, 22);
  std::string badOrder = test::ElfImage(62);
  badOrder[5] = 3;
  EXPECT_FALSE(ReadElfMachine(ReaderOf(badOrder), machine));
  EXPECT_FALSE(ReadElfMachine(ReaderOf(test::PeImage(0x8664)), machine));
  EXPECT_FALSE(ReadElfMachine(ReaderOf("\x7F" "ELF"), machine));
}

TEST(BinaryMachine, TheRunningTestProgramIsOfTheLaunchersOwnMachine) {
  // The tests are built with the same compiler and target as the launcher.
  uint16_t machine = 0;
  const MachineType own = OwnMachine();
  ASSERT_TRUE(ReadFileMachine(test::LauncherPath(), own.format, machine));
  EXPECT_EQ(machine, own.machine);
  EXPECT_FALSE(ReadFileMachine(test::LauncherPath() + u"-missing", own.format, machine));
}

TEST(MachineCheck, ForeignLibraryHandsOverOnlyWhenAPairLauncherIsConfigured) {
  test::TempDir dir;
  const std::u16string foreign = dir / u"foreign/jvm";
  const std::u16string native = dir / u"native/jvm";
  const std::u16string text = dir / u"text/jvm";
  test::WriteFile(foreign, test::ForeignBinary());
  test::WriteFile(native, test::NativeBinary());
  test::WriteFile(text, "not a binary at all");
  // A binary of the other platform's format is no image of this one.
  const std::u16string otherFormat = dir / u"other/jvm";
  test::WriteFile(otherFormat, OwnMachine().format == BinaryFormat::kPe ? test::ElfImage(0x3E)
                                                                         : test::PeImage(0x8664));

  Launcher launcher;
  launcher.jvmLibraryPath = foreign;
  launcher.handOverToPair = true;
  CheckJvmMachine(launcher);
  EXPECT_FALSE(launcher.handOverToPair) << "no pair launcher: the flag is cleared";

  launcher.pairProduct = dir / u"pair";
  CheckJvmMachine(launcher);
  EXPECT_TRUE(launcher.handOverToPair);

  for (const std::u16string& path : {native, text, otherFormat, dir / u"missing/jvm"}) {
    launcher.jvmLibraryPath = path;
    launcher.handOverToPair = true;
    CheckJvmMachine(launcher);
    EXPECT_FALSE(launcher.handOverToPair);
  }
}

}  // namespace
}  // namespace javelin
