// Where the configuration files are looked for, on every platform.
#include "config/ini_paths.h"

#include <gtest/gtest.h>

#include "base/file_system.h"
#include "base/module_path.h"
#include "config/ini_file.h"
#include "config/scoped_environment.h"
#include "launcher/launcher.h"
#include "support/test_support.h"

namespace javelin {
namespace {

TEST(IniPaths, TheProductFolderDropsNineCharactersAndKeepsBlanks) {
  EXPECT_EQ(ProductFolderName(u"Tools: / Pro"), u"Tools  Pro");
  EXPECT_EQ(ProductFolderName(u"a\\b?c\"d|e>f<g:h/i*j"), u"abcdefghij");
  EXPECT_EQ(ProductFolderName(u" Spaced . Name (x86) "), u" Spaced . Name (x86) ");
}

TEST(IniPaths, TheMainFileSitsBesideTheLauncher) {
  std::u16string modulePath;
  ASSERT_TRUE(GetModulePath(modulePath));
  std::u16string iniPath;
  ASSERT_TRUE(GetIniPath(iniPath));
  std::u16string expected;
  ASSERT_TRUE(IniPathForExecutable(modulePath, expected));
  EXPECT_EQ(iniPath, expected);
  // Same folder, same base name.
  const size_t separator = modulePath.rfind(kPathSeparator);
  EXPECT_EQ(iniPath.substr(0, separator + 1), modulePath.substr(0, separator + 1));
  EXPECT_EQ(iniPath.substr(iniPath.size() - 4), u".ini");
}

TEST(IniPaths, ThePerUserFileIsNamedAfterTheExecutable) {
  test::TempDir dir;
  test::ScopedEnvironment environment;
  test::RedirectUserSettings(environment, dir.path());
  Launcher launcher;
  launcher.productName = u"Tools: / Pro";
  launcher.productCode = u"TP-1.0";
  const std::u16string folder = dir.path() + kPathSeparator + u"Tools  Pro" + kPathSeparator +
                                u"TP-1.0" + kPathSeparator;
  const std::u16string s(1, kPathSeparator);
  EXPECT_EQ(GetUserIniPath(launcher, s + u"Apps" + s + u"Tool.exe", false), folder + u"Tool.ini");
  EXPECT_EQ(GetUserIniPath(launcher, s + u"Apps" + s + u"Tool", false), folder + u"Tool.ini");
  EXPECT_EQ(GetUserIniPath(launcher, s + u"My.Apps" + s + u"Tool", false), folder + u"Tool.ini");
  EXPECT_EQ(GetUserIniPath(launcher, u"tool.v2.exe", false), folder + u"tool.v2.ini");
  // Reading creates nothing; writing creates both folder levels.
  EXPECT_FALSE(test::FileExists(folder));
  const std::u16string path = GetUserIniPath(launcher, s + u"Apps" + s + u"Tool", true);
  EXPECT_TRUE(test::FileExists(folder));
  EXPECT_NE(IniFile(path).WriteString(u"Java Runtime Environment", u"JRE Path", u"x"), 0);
}

TEST(IniPaths, ThePairFileFollowsThePairProduct) {
  Launcher launcher;
  std::u16string path = u"unchanged";
  EXPECT_FALSE(GetPairIniPath(launcher, path));
  EXPECT_EQ(path, u"unchanged");
  const std::u16string s(1, kPathSeparator);
  launcher.pairProduct = s + u"Apps" + s + u"Tool64.exe";
  ASSERT_TRUE(GetPairIniPath(launcher, path));
  EXPECT_EQ(path, s + u"Apps" + s + u"Tool64.ini");
}

}  // namespace
}  // namespace javelin
