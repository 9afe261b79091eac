// The installed runtimes of this Linux machine, found by a launcher with no
// runtime configured and run for real: the JDK's compiler prints the version
// of the runtime the launcher loaded.
#include <gtest/gtest.h>

#include "jre/installed_runtimes_posix.h"
#include "jre/jre_locator.h"
#include "launcher/launcher.h"
#include "support/test_support.h"

namespace javelin {
namespace {

using test::JoinPath;
using test::TempDir;

// The version in the line "javac <version>" of the output, or 0.0.0.0.
VersionNumber JavacVersion(const std::string& output) {
  const size_t at = output.find("javac ");
  if (at == std::string::npos) return {};
  const size_t end = output.find('\n', at);
  return ParseVersion(FromUtf8(output.substr(at + 6, end - at - 6)), 0);
}

// Runs a launcher whose main class is the JDK's compiler with `-version`,
// with the given lines in its runtime section.
test::ProcessResult RunJavac(const std::string& runtimeLines) {
  TempDir dir;
  const std::u16string launcher = test::InstallLauncher(dir / u"app", u"myapp");
  test::WriteFile(dir / u"app/myapp.ini",
                  "[Java Runtime Environment]\n"
                  "Main Class=com.sun.tools.javac.Main\n" + runtimeLines);
  test::ProcessOptions options;
  options.environment[u"JAVA_HOME"] = std::nullopt;
  options.environment[u"HOME"] = dir.path();
  options.environment[u"XDG_CONFIG_HOME"] = dir.path();
  return test::RunProgram(launcher, {u"-version"}, options);
}

bool BelowDefaultRoot(const std::u16string& path) {
  for (const std::u16string& root : DefaultRuntimeFolders()) {
    if (path.compare(0, root.size() + 1, root + u"/") == 0) return true;
  }
  return false;
}

TEST(InstalledRuntimesEndToEnd, WithoutConfigurationTheRankedFirstRuntimeRuns) {
  if (!BelowDefaultRoot(test::JdkHome())) GTEST_SKIP() << "no JDK below a standard Java folder";
  // What the search picks with no settings ("JVM Source" absent).
  Launcher probe;
  probe.jdkPreferred = probe.jrePreferred = true;
  std::u16string home;
  VersionNumber expected;
  ASSERT_TRUE(FindInstalledRuntime(probe, false, home, expected));
  RuntimeFolder runtime;
  ASSERT_TRUE(ReadRuntimeFolder(home, runtime));
  if (runtime.kind != JavaKind::kJdk) GTEST_SKIP() << "the chosen runtime has no compiler";

  const test::ProcessResult result = RunJavac("");
  EXPECT_EQ(result.exitCode, 0) << result.output << result.errors;
  EXPECT_EQ(CompareVersions(JavacVersion(result.output), expected), 0) << result.output;
}

TEST(InstalledRuntimesEndToEnd, VersionBoundsSelectTheBuildsJdk) {
  if (!BelowDefaultRoot(test::JdkHome())) GTEST_SKIP() << "no JDK below a standard Java folder";
  RuntimeFolder jdk;
  ASSERT_TRUE(ReadRuntimeFolder(test::JdkHome(), jdk));
  const std::string version = ToUtf8(FormatVersion(jdk.version));
  const test::ProcessResult result =
      RunJavac("Minimum Version=" + version + "\nMaximum Version=" + version + "\n");
  EXPECT_EQ(result.exitCode, 0) << result.output << result.errors;
  EXPECT_EQ(CompareVersions(JavacVersion(result.output), jdk.version), 0) << result.output;
}

}  // namespace
}  // namespace javelin
