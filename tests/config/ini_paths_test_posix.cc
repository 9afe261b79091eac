// The POSIX forms of the configuration file paths.
#include <gtest/gtest.h>

#include "config/ini_file.h"
#include "config/ini_paths.h"
#include "config/scoped_environment.h"
#include "launcher/launcher.h"
#include "support/test_support.h"

namespace javelin {
namespace {

TEST(IniPathsPosix, TheExtensionIsThatOfTheFileName) {
  std::u16string path;
  ASSERT_TRUE(IniPathForExecutable(u"/opt/app/tool", path));
  EXPECT_EQ(path, u"/opt/app/tool.ini");
  // A dot in a folder name does not count.
  ASSERT_TRUE(IniPathForExecutable(u"/opt/my.apps/tool", path));
  EXPECT_EQ(path, u"/opt/my.apps/tool.ini");
  ASSERT_TRUE(IniPathForExecutable(u"/opt/app/Tool.exe", path));
  EXPECT_EQ(path, u"/opt/app/Tool.ini");
  ASSERT_TRUE(IniPathForExecutable(u"/opt/app/tool.v2.bin", path));
  EXPECT_EQ(path, u"/opt/app/tool.v2.ini");
  EXPECT_FALSE(IniPathForExecutable(u"", path));
}

TEST(IniPathsPosix, ThePerUserFileFollowsTheXdgRules) {
  test::TempDir home;
  test::ScopedEnvironment environment;
  environment.Set(u"HOME", home.path());
  Launcher launcher;
  launcher.productName = u"Tool";
  launcher.productCode = u"T1";

  environment.Set(u"XDG_CONFIG_HOME", u"/xdg/config");
  EXPECT_EQ(GetUserIniPath(launcher, u"/opt/my.apps/tool", false), u"/xdg/config/Tool/T1/tool.ini");
  // Unset, empty or relative: $HOME/.config.
  for (const std::optional<std::u16string>& value :
       {std::optional<std::u16string>(), std::optional<std::u16string>(u""),
        std::optional<std::u16string>(u"relative/config")}) {
    environment.Set(u"XDG_CONFIG_HOME", value);
    EXPECT_EQ(GetUserIniPath(launcher, u"/opt/app/tool", false),
              home.path() + u"/.config/Tool/T1/tool.ini");
  }
  // Writing creates $HOME/.config too when it is missing.
  EXPECT_FALSE(test::FileExists(home / u".config"));
  const std::u16string path = GetUserIniPath(launcher, u"/opt/app/tool", true);
  EXPECT_TRUE(test::FileExists(home / u".config/Tool/T1"));
  EXPECT_NE(IniFile(path).WriteString(u"Java Runtime Environment", u"JRE Path", u"/opt/java"), 0);
  EXPECT_EQ(IniFile(path).GetString(u"Java Runtime Environment", u"JRE Path"), u"/opt/java");
}

}  // namespace
}  // namespace javelin
