// IniFile writing on real files: where a value goes, everything else, the
// header and the encoding staying as they were; the portable writer and the
// profile functions alike. The reading rules are in ini_differential_test.cc,
// the "+" sections in settings_test.cc.
#include "config/ini_file.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "support/test_support.h"

namespace javelin {
namespace {

using test::TempDir;
using test::WriteFile;

TEST(IniFile, WritingCreatesTheFileUpdatesInPlaceAndAppendsSections) {
  TempDir dir;
  const std::u16string path = dir / u"write.ini";
  IniFile ini(path);
  EXPECT_NE(ini.WriteString(u"Java Runtime Environment", u"JRE Path", u"/opt/java"), 0);
  EXPECT_EQ(ini.GetString(u"Java Runtime Environment", u"JRE Path"), u"/opt/java");

  // Changed behind the reader's back: late enough for a new modification time.
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  WriteFile(path,
            "; head\r\n[A]\r\n  k1 = old  \r\nk2=x\r\n[B]\r\nk=b\r\n[a]\r\nk1=second block\r\n");
  EXPECT_NE(ini.WriteString(u"a", u"K1", u"new"), 0);  // the first section and key of the name
  EXPECT_NE(ini.WriteString(u"B", u"n", u"v"), 0);     // at the end of its section
  EXPECT_NE(ini.WriteString(u"C", u"k", u"  leading blanks dropped"), 0);
  EXPECT_EQ(ini.GetString(u"A", u"k1"), u"new");
  EXPECT_EQ(ini.GetString(u"C", u"k"), u"leading blanks dropped");
  const std::string written = test::ReadFile(path);
  EXPECT_EQ(written.rfind("; head\r\n", 0), 0u) << written;
  EXPECT_NE(written.find("k2=x\r\n[B]\r\nk=b\r\nn=v\r\n[a]\r\nk1=second block\r\n"),
            std::string::npos)
      << written;

  EXPECT_EQ(IniFile(dir / u"missing/x.ini").WriteString(u"A", u"k", u"v"), 0);
}

TEST(IniFile, WritingKeepsTheFileEncoding) {
  TempDir dir;
  WriteFile(dir / u"utf16.ini", std::string("\xFF\xFE[\0A\0]\0\r\0\n\0k\0=\0"
                                            "1\0\r\0\n\0",
                                            22));
  IniFile utf16(dir / u"utf16.ini");
  EXPECT_NE(utf16.WriteString(u"A", u"k", u"\u00E4\u20AC"), 0);
  EXPECT_EQ(test::ReadFile(dir / u"utf16.ini").substr(0, 4), std::string("\xFF\xFE[\0", 4));
  EXPECT_EQ(utf16.GetString(u"A", u"k"), u"\u00E4\u20AC");

  WriteFile(dir / u"bom.ini", "\xEF\xBB\xBF[A]\r\nk=1\r\n");
  EXPECT_NE(IniFile(dir / u"bom.ini").WriteString(u"A", u"k", u"\u00E4"), 0);
  EXPECT_EQ(test::ReadFile(dir / u"bom.ini"), "\xEF\xBB\xBF[A]\r\nk=\xC3\xA4\r\n");
}

}  // namespace
}  // namespace javelin
