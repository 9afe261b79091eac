// The Windows forms of "JRE Path".
#include <gtest/gtest.h>

#include "config/settings_fixture.h"

namespace javelin {
namespace {

using test::SettingsTest;

TEST_F(SettingsTest, WindowsJrePathsWithADriveOrTwoBackslashesStayAsTheyAre) {
  const std::pair<const char*, std::u16string> cases[] = {
      {"D:\\Java", u"D:\\Java"},
      {"\\\\server\\share\\java", u"\\\\server\\share\\java"},
      {"D:relative", u"D:relative"},
      // One leading backslash is relative to the launcher's folder.
      {"\\Java", AppFolder() + u"\\\\Java"},
      {"jre\\bin\\..", AppFolder() + u"\\jre\\bin\\.."},
      {"/unix/style", AppFolder() + u"\\/unix/style"},
  };
  for (const auto& [value, expected] : cases) {
    Launcher launcher;
    ASSERT_TRUE(Read(launcher, WithMainClass(std::string("JRE Path=") + value + "\r\n")));
    EXPECT_EQ(launcher.jrePath, expected) << value;
  }
}

}  // namespace
}  // namespace javelin
