// Where the configuration files are looked for, on every platform.
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
  EXPECT_EQ(GetUserIniPath(u"Tools: / Pro", u"TP-1.0", s + u"My.Apps" + s + u"Tool", false), folder + u"Tool.ini");
  EXPECT_EQ(GetUserIniPath(u"Tools: / Pro", u"TP-1.0", u"tool.v2.exe", false), folder + u"tool.v2.ini");
  // Reading creates nothing; writing creates both folder levels.
  EXPECT_FALSE(test::FileExists(folder));
  const std::u16string path = GetUserIniPath(u"Tools: / Pro", u"TP-1.0", s + u"Apps" + s + u"Tool", true);
  EXPECT_NE(IniFile(path).WriteString(u"Java Runtime Environment", u"JRE Path", u"x"), 0);
}

}  // namespace
}  // namespace javelin
