// IniFile and IniConfig on real files: the "+" section rule, long values,
// writing, and input that is not a proper INI file.
#include "config/ini_file.h"

#include <gtest/gtest.h>

#include <chrono>
#include <random>
#include <string>
#include <thread>

#include "base/text.h"
#include "support/test_support.h"

namespace javelin {
namespace {

using test::TempDir;
using test::WriteFile;

TEST(IniConfig, PlusSectionValuesComeWithOneLeadingBlank) {
  TempDir dir;
  const std::u16string path = dir / u"app.ini";
  WriteFile(path,
            "[Application]\r\n"
            "EmptyHere=\r\n"
            "Both=plain\r\n"
            "[Application+]\r\n"
            "OnlyPlus=-Xmx512m\r\n"
            "EmptyHere=-Dfrom.plus=1\r\n"
            "Both=plus\r\n"
            "Quoted=\" already blank\"\r\n");
  IniConfig config(path);
  // Only in the "+" section: one blank in front.
  EXPECT_EQ(config.GetString(u"Application", u"OnlyPlus"), u" -Xmx512m");
  // Empty in the plain section falls through to the "+" section.
  EXPECT_EQ(config.GetString(u"Application", u"EmptyHere"), u" -Dfrom.plus=1");
  // Set in both: the plain section wins, without a blank.
  EXPECT_EQ(config.GetString(u"Application", u"Both"), u"plain");
  // A "+" value that already begins with a blank gets no second one.
  EXPECT_EQ(config.GetString(u"Application", u"Quoted"), u" already blank");
  // Absent in both: empty.
  EXPECT_EQ(config.GetString(u"Application", u"Nowhere"), u"");
  // A plain IniFile ignores the "+" section.
  EXPECT_EQ(IniFile(path).GetString(u"Application", u"OnlyPlus"), u"");
}

TEST(IniFile, ValuesOfAnyLengthAreReadWhole) {
  TempDir dir;
  const std::u16string path = dir / u"long.ini";
  // Lengths around the first buffer sizes of the profile functions, and 1 MB.
  const size_t lengths[] = {254, 255, 256, 257, 511, 512, 513, 1023, 4096, 1 << 20};
  std::string content = "[Long]\r\n";
  for (size_t length : lengths) {
    content += "k" + std::to_string(length) + "=" + std::string(length, 'x') + "\r\n";
  }
  WriteFile(path, content);
  IniFile ini(path);
  for (size_t length : lengths) {
    const std::u16string key = u"k" + ToDecimal(static_cast<long long>(length));
    EXPECT_EQ(ini.GetString(u"Long", key).size(), length) << length;
  }
}

TEST(IniFile, ManySectionNamesAreAllListed) {
  TempDir dir;
  const std::u16string path = dir / u"sections.ini";
  std::string content;
  TextList expected;
  for (int i = 0; i < 200; ++i) {
    content += "[Section number " + std::to_string(i) + "]\r\nk=v\r\n";
    expected.push_back(u"Section number " + ToDecimal(i));
  }
  WriteFile(path, content);
  EXPECT_EQ(IniFile(path).GetSectionNames(), expected);
}

TEST(IniFile, InputThatIsNoIniFileGivesEmptyValues) {
  TempDir dir;
  // Random bytes (no line looks like the queried section).
  std::mt19937 random(20240601);
  std::string binary;
  for (int i = 0; i < 100000; ++i) binary.push_back(static_cast<char>(random() & 0xFF));
  WriteFile(dir / u"binary.ini", binary);
  IniFile binaryIni(dir / u"binary.ini");
  EXPECT_EQ(binaryIni.GetString(u"Java Runtime Environment", u"Main Class"), u"");
  binaryIni.GetSectionNames();

  // UTF-16 without a byte-order mark is not recognised as UTF-16.
  std::string utf16;
  for (char c : std::string("[Sec]\r\nk=v\r\n")) {
    utf16.push_back(c);
    utf16.push_back('\0');
  }
  WriteFile(dir / u"utf16.ini", utf16);
  EXPECT_EQ(IniFile(dir / u"utf16.ini").GetString(u"Sec", u"k"), u"");

  // A folder where the file should be.
  test::MakeDirectories(dir / u"folder.ini");
  EXPECT_EQ(IniFile(dir / u"folder.ini").GetString(u"Sec", u"k"), u"");
}

TEST(IniFile, WritingCreatesTheFileUpdatesInPlaceAndAppendsSections) {
  TempDir dir;
  const std::u16string path = dir / u"write.ini";
  IniFile ini(path);
  // A missing file is created.
  EXPECT_NE(ini.WriteString(u"Java Runtime Environment", u"JRE Path", u"/opt/java"), 0);
  EXPECT_EQ(ini.GetString(u"Java Runtime Environment", u"JRE Path"), u"/opt/java");

  // Changed behind the reader's back: late enough for a new modification time.
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  WriteFile(path,
            "; head comment\r\n"
            "[A]\r\n"
            "  k1 = old  \r\n"
            "k2=x\r\n"
            "[B]\r\n"
            "k=b\r\n"
            "[a]\r\n"
            "k1=second block\r\n");
  // The first section and key of the name are updated, whatever the case.
  EXPECT_NE(ini.WriteString(u"a", u"K1", u"new"), 0);
  EXPECT_EQ(ini.GetString(u"A", u"k1"), u"new");
  EXPECT_EQ(ini.GetString(u"A", u"k2"), u"x");
  EXPECT_EQ(ini.GetString(u"B", u"k"), u"b");
  // A new key joins its section; a new section is added.
  EXPECT_NE(ini.WriteString(u"A", u"k3", u"three"), 0);
  EXPECT_NE(ini.WriteString(u"C", u"k", u"  leading blanks dropped"), 0);
  EXPECT_EQ(ini.GetString(u"A", u"k3"), u"three");
  EXPECT_EQ(ini.GetString(u"C", u"k"), u"leading blanks dropped");
  EXPECT_EQ(ini.GetSectionNames(), (TextList{u"A", u"B", u"a", u"C"}));
  const std::string written = test::ReadFile(path);
  EXPECT_EQ(written.rfind("; head comment\r\n", 0), 0u) << written;
  EXPECT_NE(written.find("[a]\r\nk1=second block\r\n"), std::string::npos) << written;

  // A file whose folder is missing cannot be written.
  EXPECT_EQ(IniFile(dir / u"missing/x.ini").WriteString(u"A", u"k", u"v"), 0);
  EXPECT_FALSE(test::FileExists(dir / u"missing/x.ini"));
}

TEST(IniFile, WritingKeepsTheFileEncoding) {
  TempDir dir;
  const std::u16string utf16Path = dir / u"utf16.ini";
  WriteFile(utf16Path, std::string("\xFF\xFE[\0A\0]\0\r\0\n\0k\0=\0" "1\0\r\0\n\0", 22));
  IniFile utf16(utf16Path);
  EXPECT_NE(utf16.WriteString(u"A", u"k", u"\u00E4\u20AC"), 0);
  unsigned char header[4] = {};
  EXPECT_EQ(utf16.ReadHeader(header), 0u);
  EXPECT_EQ(header[0], 0xFF);
  EXPECT_EQ(header[1], 0xFE);
  EXPECT_EQ(header[2], '[');
  EXPECT_EQ(utf16.GetString(u"A", u"k"), u"\u00E4\u20AC");

  const std::u16string bomPath = dir / u"bom.ini";
  WriteFile(bomPath, "\xEF\xBB\xBF[A]\r\nk=1\r\n");
  IniFile bom(bomPath);
  EXPECT_NE(bom.WriteString(u"A", u"k", u"\u00E4"), 0);
  EXPECT_EQ(test::ReadFile(bomPath), "\xEF\xBB\xBF[A]\r\nk=\xC3\xA4\r\n");
}

TEST(IniFile, ReadHeaderAndDeleteReportThePlatformResult) {
  TempDir dir;
  const std::u16string path = dir / u"header.ini";
  IniFile ini(path);
  unsigned char header[4] = {0, 0, 0, 0};
  // File not found is error 2 on both platforms (ERROR_FILE_NOT_FOUND, ENOENT).
  EXPECT_EQ(ini.ReadHeader(header), 2u);
  EXPECT_EQ(ini.Delete(), 0);

  WriteFile(path, "[Sec]\r\n");
  EXPECT_EQ(ini.ReadHeader(header), 0u);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(header), 4), "[Sec");
  EXPECT_NE(ini.Delete(), 0);
  EXPECT_FALSE(test::FileExists(path));

  // A shorter file fills only the bytes it has.
  WriteFile(path, "ab");
  unsigned char shortHeader[4] = {'x', 'x', 'x', 'x'};
  EXPECT_EQ(ini.ReadHeader(shortHeader), 0u);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(shortHeader), 4), "abxx");
}

}  // namespace
}  // namespace javelin
