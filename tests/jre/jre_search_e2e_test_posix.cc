// A launcher with only a version range configured finds the build's JDK among
// the installed runtimes of this Linux machine and runs its compiler.
#include <gtest/gtest.h>

#include "jre/installed_runtimes_posix.h"
#include "support/test_support.h"

namespace javelin {
namespace {

TEST(InstalledRuntimesEndToEnd, VersionBoundsSelectTheBuildsJdk) {
  const std::u16string jdkHome = test::JdkHome();
  bool belowDefaultRoot = false;
  for (const std::u16string& root : DefaultRuntimeFolders()) {
    belowDefaultRoot |= jdkHome.compare(0, root.size() + 1, root + u"/") == 0;
  }
  if (!belowDefaultRoot) GTEST_SKIP() << "no JDK below a standard Java folder";
  RuntimeFolder jdk;
  ASSERT_TRUE(ReadRuntimeFolder(jdkHome, jdk));
  const std::string version = ToUtf8(FormatVersion(jdk.version));

  test::TempDir dir;
  const std::u16string launcher = test::InstallLauncher(dir / u"app", u"myapp");
  test::WriteFile(dir / u"app/myapp.ini",
                  "[Java Runtime Environment]\nMain Class=com.sun.tools.javac.Main\n"
                  "Minimum Version=" + version + "\nMaximum Version=" + version + "\n");
  test::ProcessOptions options;
  options.environment[u"JAVA_HOME"] = std::nullopt;
  options.environment[u"HOME"] = options.environment[u"XDG_CONFIG_HOME"] = dir.path();
  const test::ProcessResult result = test::RunProgram(launcher, {u"-version"}, options);
  ASSERT_EQ(result.exitCode, 0) << result.output << result.errors;
  // javac prints "javac <version>".
  const size_t at = result.output.find("javac ");
  ASSERT_NE(at, std::string::npos) << result.output;
  const std::string printed = result.output.substr(at + 6, result.output.find('\n', at) - at - 6);
  EXPECT_EQ(CompareVersions(ParseVersion(FromUtf8(printed), 0), jdk.version), 0) << printed;
}

}  // namespace
}  // namespace javelin
