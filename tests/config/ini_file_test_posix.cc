// The INI reader on POSIX parses a file once: later lookups answer from that
// reading, a write through the same IniFile is seen by the next lookup, and
// a new reader sees what others changed meanwhile.
#include <gtest/gtest.h>

#include "config/ini_file.h"
#include "config/ini_source.h"
#include "support/test_support.h"

namespace javelin {
namespace {

TEST(IniFileReading, AFileIsReadOnceUntilItIsWrittenThroughTheSameReader) {
  test::TempDir dir;
  const std::u16string path = dir / u"app.ini";
  test::WriteFile(path, "[A]\nk=1\n");

  const DiskIniSource source;
  IniFile ini(path);
  EXPECT_EQ(source.GetString(path, u"A", u"k"), u"1");
  EXPECT_EQ(ini.GetString(u"A", u"k"), u"1");

  // Changed behind the readers' backs: both keep what they read first.
  test::WriteFile(path, "[A]\nk=2\nother=x\n");
  EXPECT_EQ(source.GetString(path, u"A", u"k"), u"1");
  EXPECT_EQ(source.GetString(path, u"A", u"other"), u"");
  EXPECT_EQ(ini.GetString(u"A", u"k"), u"1");
  EXPECT_EQ(DiskIniSource().GetString(path, u"A", u"other"), u"x");

  // A write goes to the file and the writer's next lookup reads it anew.
  ASSERT_NE(ini.WriteString(u"A", u"k", u"3"), 0);
  EXPECT_EQ(ini.GetString(u"A", u"k"), u"3");
  EXPECT_EQ(ini.GetString(u"A", u"other"), u"x");
  EXPECT_EQ(test::ReadFile(path), "[A]\nk=3\nother=x\n");
}

}  // namespace
}  // namespace javelin
