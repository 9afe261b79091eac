// The POSIX forms of "JRE Path".
#include <gtest/gtest.h>

#include "config/settings_fixture.h"

namespace javelin {
namespace {

using test::SettingsTest;

TEST_F(SettingsTest, PosixJrePathsStartingWithASlashStayAsTheyAre) {
  const std::pair<const char*, std::u16string> cases[] = {
      {"/usr/lib/jvm/java-17", u"/usr/lib/jvm/java-17"},
      {"//server/java", u"//server/java"},
      {"jre/../jdk", AppFolder() + u"/jre/../jdk"},
      {"~/java", AppFolder() + u"/~/java"},
      // Windows forms mean nothing here: relative to the launcher's folder.
      {"D:\\Java", AppFolder() + u"/D:\\Java"},
      {"\\\\server\\share", AppFolder() + u"/\\\\server\\share"},
  };
  for (const auto& [value, expected] : cases) {
    Launcher launcher;
    ASSERT_TRUE(Read(launcher, WithMainClass(std::string("JRE Path=") + value + "\r\n")));
    EXPECT_EQ(launcher.jrePath, expected) << value;
  }
}

}  // namespace
}  // namespace javelin
