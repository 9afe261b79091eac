// What a Java home holds: the JVM libraries "JVM Type" chooses from, their
// processor, and the "release" file.
#include <gtest/gtest.h>

#include <optional>

#include "jre/binary_machine.h"
#include "jre/jvm_library.h"
#include "jre/release_file.h"
#include "jre/runtime_fixture.h"
#include "support/test_support.h"

namespace javelin {
namespace {

TEST(JvmLibrarySelection, JvmTypeChoosesTheVmInsideAHome) {
  using F = JvmFlavor;
  test::TempDir dir;
  const std::u16string both = test::MakeRuntime(dir / u"both", {F::kClient, F::kServer});
  const std::u16string client = test::MakeRuntime(dir / u"client", {F::kClient});
  const std::u16string server = test::MakeRuntime(dir / u"server", {F::kServer});
  const std::u16string jrockit = test::MakeRuntime(dir / u"jrockit", {F::kJRockit});
  const std::u16string old =
      test::MakeRuntime(dir / u"old", {F::kHotspot, F::kClassic, F::kJRockit});
  const std::u16string empty = test::MakeRuntime(dir / u"empty", {});  // the marker is no VM
  const int32_t any = kJvmTypeAny, favor = kJvmTypeFavorServer, required = kJvmTypeServer;
  const struct {
    std::u16string home;
    int32_t kind;
    std::optional<JvmFlavor> chosen;
  } cases[] = {
      {both, any, F::kClient},     {both, favor, F::kServer}, {client, required, {}},
      {client, favor, F::kClient}, {server, any, F::kServer}, {jrockit, favor, F::kJRockit},
      {jrockit, required, {}},     {old, any, F::kClassic},   {empty, any, {}},
  };
  for (size_t i = 0; i < std::size(cases); ++i) {
    const auto& c = cases[i];
    bool isServer = !c.chosen;
    EXPECT_EQ(SelectJvmLibrary(c.home, c.kind, &isServer),
              c.chosen ? test::LibraryIn(c.home, *c.chosen) : u"")
        << i;
    EXPECT_EQ(isServer, c.chosen == F::kServer) << i;
  }
}

TEST(BinaryMachine, HeadersNameTheMachineAndDamagedHeadersNone) {
  std::string noDos = test::PeImage(0x8664), noPe = noDos, farPointer = noDos;
  noDos[1] = 'X';
  noPe[0x82] = 'X';
  farPointer[0x3D] = 0x7F;  // NT headers beyond the end of the file
  std::string badOrder = test::ElfImage(62);
  badOrder[5] = 3;
  const BinaryFormat pe = BinaryFormat::kPe, elf = BinaryFormat::kElf;
  const struct {
    std::string bytes;
    BinaryFormat format;
    int machine;
  } cases[] = {
      {test::PeImage(0x014C), pe, 0x014C},
      {noDos, pe, -1},
      {noPe, pe, -1},
      {farPointer, pe, -1},
      {"MZ", pe, -1},
      {test::ElfImage(62), elf, 62},
      {test::ElfImage(22, true), elf, 22},
      {badOrder, elf, -1},
      {"\x7F"
       "ELF",
       elf, -1},
  };
  test::TempDir dir;
  for (size_t i = 0; i < std::size(cases); ++i) {
    test::WriteFile(dir / u"binary", cases[i].bytes);
    uint16_t machine = 0;  // -1: no machine read
    EXPECT_EQ(ReadFileMachine(dir / u"binary", cases[i].format, machine) ? machine : -1,
              cases[i].machine)
        << i;
  }
  // The launcher, built like this test program, is of the machine it reports.
  uint16_t machine = 0;
  ASSERT_TRUE(ReadFileMachine(test::LauncherPath(), OwnMachine().format, machine));
  EXPECT_EQ(machine, OwnMachine().machine);
  EXPECT_FALSE(CheckJvmMachine(test::LauncherPath(), u"pair"));
  // A foreign library hands over only with a pair launcher; one of another
  // binary format is not of another processor.
  test::WriteFile(dir / u"foreign", test::ForeignBinary());
  test::WriteFile(dir / u"other",
                  OwnMachine().format == pe ? test::ElfImage(62) : test::PeImage(0x8664));
  EXPECT_FALSE(CheckJvmMachine(dir / u"foreign", u""));
  EXPECT_FALSE(CheckJvmMachine(dir / u"other", u"pair"));
}

TEST(ReleaseFile, TheFirstLineOfTheKeyGivesItsValueWithoutQuotes) {
  const std::string temurin =
      "IMPLEMENTOR=\"Eclipse Adoptium\"\nIMPLEMENTOR_VERSION=\"Temurin-25+36\"\n";
  const struct {
    std::string content;
    const char* key;
    const char* value;
  } cases[] = {
      {temurin, "IMPLEMENTOR", "Eclipse Adoptium"},  // not IMPLEMENTOR_VERSION
      // CR LF line ends, trailing blanks and a missing last line end.
      {"A=1\r\nJAVA_VERSION=\"1.8.0_402\"  \r\nB=2", "JAVA_VERSION", "1.8.0_402"},
      // Only one pair of quotes goes; a lone quote stays.
      {"K=\"\"x\"\"\n", "K", "\"x\""},
      // The first line wins, even when empty; indented lines and other cases are not the key.
      {"K=\nK=2\n", "K", ""},
      {" K=1\nk=1\nK=2", "K", "2"},
  };
  for (const auto& test : cases) {
    EXPECT_EQ(ReleaseFileValue(test.content, test.key), test.value)
        << test.content << " / " << test.key;
  }
}

}  // namespace
}  // namespace javelin
