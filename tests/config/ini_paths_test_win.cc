// The Windows forms of the configuration file paths.
#include <gtest/gtest.h>

#include "base/scoped_environment.h"
#include "config/ini_paths.h"

namespace javelin {
namespace {

TEST(IniPathsWindows, TheExtensionIsCutAtTheLastDotOfThePath) {
  std::u16string path;
  ASSERT_TRUE(IniPathForExecutable(u"C:\\Apps\\Tool.exe", path));
  EXPECT_EQ(path, u"C:\\Apps\\Tool.ini");
  ASSERT_TRUE(IniPathForExecutable(u"C:\\My.Apps\\Tool", path));
  EXPECT_EQ(path, u"C:\\My.ini");
  EXPECT_FALSE(IniPathForExecutable(u"C:\\Apps\\Tool", path));
}

TEST(IniPathsWindows, ThePerUserFileLivesUnderAppData) {
  test::ScopedEnvironment environment;
  const std::u16string longBase = u"C:\\" + std::u16string(300, u'd');  // taken whole
  environment.Set(u"APPDATA", longBase);
  EXPECT_EQ(GetUserIniPath(u"Tool", u"T1", u"C:\\My.Apps\\Tool", false), longBase + u"\\Tool\\T1\\Tool.ini");
  environment.Set(u"APPDATA", std::nullopt);  // the root of the current drive
  EXPECT_EQ(GetUserIniPath(u"Tool", u"T1", u"C:\\Apps\\Tool.exe", false), u"\\Tool\\T1\\Tool.ini");
}

}  // namespace
}  // namespace javelin
