// Where the configuration files are looked for.
#include "config/ini_paths.h"

#include <gtest/gtest.h>

#include "base/scoped_environment.h"
#include "config/ini_file.h"
#include "support/test_support.h"

namespace javelin {
namespace {

TEST(IniPaths, ThePerUserFileLivesInAFolderNamedAfterTheProduct) {
  EXPECT_EQ(ProductFolderName(u"a\\b?c\"d|e>f<g:h/i*j (x86) "), u"abcdefghij (x86) ");
  test::TempDir dir;
  test::ScopedEnvironment environment;
  environment.RedirectUserSettings(dir.path());
  const std::u16string s(1, kPathSeparator);
  const std::u16string folder = dir.path() + s + u"Tools  Pro" + s + u"TP-1.0" + s;
  EXPECT_EQ(GetUserIniPath(u"Tools: / Pro", u"TP-1.0", s + u"My.Apps" + s + u"Tool", false),
            folder + u"Tool.ini");
  EXPECT_EQ(GetUserIniPath(u"Tools: / Pro", u"TP-1.0", u"tool.v2.exe", false),
            folder + u"tool.v2.ini");
  // Reading creates nothing; writing creates both folder levels.
  EXPECT_FALSE(test::FileExists(folder));
  const std::u16string path =
      GetUserIniPath(u"Tools: / Pro", u"TP-1.0", s + u"Apps" + s + u"Tool", true);
  EXPECT_NE(IniFile(path).WriteString(u"Java Runtime Environment", u"JRE Path", u"x"), 0);
}

TEST(IniPaths, TheConfigurationFileIsNamedAfterTheProgram) {
  std::u16string path;
#ifdef _WIN32
  EXPECT_FALSE(IniPathForExecutable(u"C:\\Apps\\Tool", path));
  ASSERT_TRUE(IniPathForExecutable(u"C:\\My.Apps\\Tool", path));
  EXPECT_EQ(path, u"C:\\My.ini");  // the last dot of the whole path
#else
  ASSERT_TRUE(IniPathForExecutable(u"/opt/my.apps/tool.v2.bin", path));
  EXPECT_EQ(path, u"/opt/my.apps/tool.v2.ini");
#endif
}

#ifndef _WIN32
TEST(IniPathsPosix, ThePerUserFileFollowsTheXdgRules) {
  test::TempDir home;
  test::ScopedEnvironment environment;
  environment.Set(u"HOME", home.path());
  environment.Set(u"XDG_CONFIG_HOME", u"/xdg/config");
  EXPECT_EQ(GetUserIniPath(u"Tool", u"T1", u"/opt/app/tool", false),
            u"/xdg/config/Tool/T1/tool.ini");
  // Unset, empty or relative: $HOME/.config, created on writing.
  for (const std::optional<std::u16string>& value :
       {std::optional<std::u16string>(), {u""}, {u"relative"}}) {
    environment.Set(u"XDG_CONFIG_HOME", value);
    EXPECT_EQ(GetUserIniPath(u"Tool", u"T1", u"/opt/app/tool", false),
              home.path() + u"/.config/Tool/T1/tool.ini");
  }
  GetUserIniPath(u"Tool", u"T1", u"/opt/app/tool", true);
  EXPECT_TRUE(test::FileExists(home / u".config/Tool/T1"));
}
#endif

}  // namespace
}  // namespace javelin
