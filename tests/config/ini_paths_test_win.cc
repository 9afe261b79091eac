// The Windows forms of the configuration file paths.
#include <gtest/gtest.h>

#include "config/ini_paths.h"
#include "config/scoped_environment.h"
#include "launcher/launcher.h"

namespace javelin {
namespace {

TEST(IniPathsWindows, TheExtensionIsCutAtTheLastDotOfThePath) {
  std::u16string path;
  ASSERT_TRUE(IniPathForExecutable(u"C:\\Apps\\Tool.exe", path));
  EXPECT_EQ(path, u"C:\\Apps\\Tool.ini");
  // A dot in a folder name and none in the file name: cut in the folder.
  ASSERT_TRUE(IniPathForExecutable(u"C:\\My.Apps\\Tool", path));
  EXPECT_EQ(path, u"C:\\My.ini");
  path = u"unchanged";
  EXPECT_FALSE(IniPathForExecutable(u"C:\\Apps\\Tool", path));
  EXPECT_EQ(path, u"unchanged");
}

TEST(IniPathsWindows, ThePerUserFileLivesUnderAppData) {
  test::ScopedEnvironment environment;
  Launcher launcher;
  launcher.productName = u"Tool";
  launcher.productCode = u"T1";
  environment.Set(u"APPDATA", u"C:\\Users\\me\\AppData\\Roaming");
  EXPECT_EQ(GetUserIniPath(launcher, u"C:\\My.Apps\\Tool", false),
            u"C:\\Users\\me\\AppData\\Roaming\\Tool\\T1\\Tool.ini");
  // Without APPDATA the path starts at the root of the current drive.
  environment.Set(u"APPDATA", std::nullopt);
  EXPECT_EQ(GetUserIniPath(launcher, u"C:\\Apps\\Tool.exe", false), u"\\Tool\\T1\\Tool.ini");
  // A value beyond 260 characters is taken whole.
  const std::u16string longBase = u"C:\\" + std::u16string(300, u'd');
  environment.Set(u"APPDATA", longBase);
  EXPECT_EQ(GetUserIniPath(launcher, u"C:\\Apps\\Tool.exe", false),
            longBase + u"\\Tool\\T1\\Tool.ini");
}

TEST(IniPathsWindows, ThePairFileNeedsADotInThePairPath) {
  Launcher launcher;
  launcher.pairProduct = u"C:\\Pair.Dir\\Tool64";
  std::u16string path;
  ASSERT_TRUE(GetPairIniPath(launcher, path));
  EXPECT_EQ(path, u"C:\\Pair.ini");
  launcher.pairProduct = u"C:\\Pair\\Tool64";
  EXPECT_FALSE(GetPairIniPath(launcher, path));
}

}  // namespace
}  // namespace javelin
