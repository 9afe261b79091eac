// The POSIX forms of the configuration file paths.
#include <gtest/gtest.h>

#include "base/scoped_environment.h"
#include "config/ini_paths.h"
#include "support/test_support.h"

namespace javelin {
namespace {

TEST(IniPathsPosix, TheExtensionIsThatOfTheFileName) {
  std::u16string path;
  ASSERT_TRUE(IniPathForExecutable(u"/opt/my.apps/tool", path));
  EXPECT_EQ(path, u"/opt/my.apps/tool.ini");
  ASSERT_TRUE(IniPathForExecutable(u"/opt/app/tool.v2.bin", path));
  EXPECT_EQ(path, u"/opt/app/tool.v2.ini");
}

TEST(IniPathsPosix, ThePerUserFileFollowsTheXdgRules) {
  test::TempDir home;
  test::ScopedEnvironment environment;
  environment.Set(u"HOME", home.path());
  environment.Set(u"XDG_CONFIG_HOME", u"/xdg/config");
  EXPECT_EQ(GetUserIniPath(u"Tool", u"T1", u"/opt/app/tool", false), u"/xdg/config/Tool/T1/tool.ini");
  // Unset, empty or relative: $HOME/.config, created on writing.
  const std::optional<std::u16string> values[] = {std::nullopt, u"", u"relative"};
  for (const auto& value : values) {
    environment.Set(u"XDG_CONFIG_HOME", value);
    EXPECT_EQ(GetUserIniPath(u"Tool", u"T1", u"/opt/app/tool", false), home.path() + u"/.config/Tool/T1/tool.ini");
  }
  GetUserIniPath(u"Tool", u"T1", u"/opt/app/tool", true);
  EXPECT_TRUE(test::FileExists(home / u".config/Tool/T1"));
}

}  // namespace
}  // namespace javelin
