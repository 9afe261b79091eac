// The runtime search as a user meets it: a launcher copy beside its INI file.
#include <gtest/gtest.h>

#include <filesystem>

#include "jre/jre_locator.h"
#ifndef _WIN32
#include "jre/installed_runtimes_posix.h"
#endif
#include "jre/runtime_fixture.h"
#include "support/test_support.h"
#include "ui/jre_dialog_canceller.h"

namespace javelin {
namespace {

// Runs dir/app/myapp with myapp.ini holding `ini`, for a user without
// JAVA_HOME or display whose settings live in dir/config.
test::ProcessResult RunApp(const test::TempDir& dir, const std::string& ini, const TextList& arguments = {}) {
  const std::u16string launcher = test::InstallLauncher(dir / u"app", u"myapp");
  test::WriteFile(dir / u"app/myapp.ini", ini);
  test::MakeDirectories(dir / u"config");
  test::ProcessOptions options;
  for (const char16_t* name : {u"JAVA_HOME", u"DISPLAY"}) options.environment[name] = std::nullopt;
  for (const char16_t* name : {u"HOME", u"XDG_CONFIG_HOME", u"APPDATA"}) {
    options.environment[name] = dir / u"config";
  }
  options.timeoutSeconds = 60;
  return test::RunProgram(launcher, arguments, options);
}

TEST(JreSearchEndToEnd, AppFolderRuntimeIsUsedAfterAConfiguredFolderWithoutLibrary) {
  test::TempDir dir;
  // The application folder is a runtime itself and also carries one in jre.
  test::MakeRuntime(dir / u"app", {JvmFlavor::kClient});
  test::MakeRuntime(dir / u"app/jre", {JvmFlavor::kClient});
  test::MakeRuntime(dir / u"configured", {});  // marker only, no JVM library
  const test::ProcessResult result =
      RunApp(dir, "[Java Runtime Environment]\nMain Class=never.Loaded\nJRE Path=" +
                      ToUtf8(dir / u"configured") + "\n");
  // The empty library cannot be loaded; the only report names the one chosen.
  EXPECT_EQ(result.exitCode, test::ExitCodeMinusOne());
  const std::string chosen = ToUtf8(test::LibraryIn(dir / u"app", JvmFlavor::kClient));
  EXPECT_NE(result.output.find(chosen), std::string::npos) << result.output;
  EXPECT_EQ(result.output.find("Error:"), result.output.rfind("Error:")) << result.output;
}

TEST(JreSearchEndToEnd, NoRuntimeAnywhereEndsWithMinusOneAndWritesNoSettings) {
  // Only where no runtime is installed (a fresh Wine prefix; Linux machines
  // usually have one below /usr/lib/jvm).
  RuntimeRequirements probe;
  probe.jdkPreferred = probe.jrePreferred = true;
  if (const std::optional<InstalledRuntime> installed = FindInstalledRuntime(probe, false)) {
    GTEST_SKIP() << "a Java runtime is installed at " << ToUtf8(installed->home);
  }
  test::TempDir dir;
  const std::string ini =
      "[Product Information]\nProduct Name=Javelin Tests\nProduct Code=NoRuntime\n"
      "[Java Runtime Environment]\nMain Class=never.Loaded\nJRE Path=" +
      ToUtf8(dir / u"nothing") + "\n";
  [[maybe_unused]] test::JreDialogCanceller canceller;  // Windows: the user cancels the dialog
  const test::ProcessResult result = RunApp(dir, ini);
  EXPECT_EQ(result.exitCode, test::ExitCodeMinusOne()) << result.output << result.errors;
  // Without a terminal to ask on, Linux prints the reason (its text is shown with the prompt).
  EXPECT_EQ(result.output.empty(), kPathSeparator == u'\\') << result.output;
  EXPECT_EQ(test::ReadFile(dir / u"app/myapp.ini"), ini);
  EXPECT_TRUE(std::filesystem::is_empty(std::filesystem::path(dir / u"config")))
      << "something was written to the per-user settings";
}

#ifndef _WIN32
// With only a version range configured, the build's JDK is found among the
// installed runtimes of this Linux machine and runs its compiler.
TEST(JreSearchEndToEnd, VersionBoundsSelectTheBuildsJdkAmongTheInstalledRuntimes) {
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
  const test::ProcessResult result = RunApp(dir,
                                            "[Java Runtime Environment]\nMain Class=com.sun.tools.javac.Main\n"
                                            "Minimum Version=" + version + "\nMaximum Version=" + version + "\n",
                                            {u"-version"});
  ASSERT_EQ(result.exitCode, 0) << result.output << result.errors;
  // javac prints "javac <version>".
  const size_t at = result.output.find("javac ");
  ASSERT_NE(at, std::string::npos) << result.output;
  const std::string printed = result.output.substr(at + 6, result.output.find('\n', at) - at - 6);
  EXPECT_EQ(CompareVersions(ParseVersion(FromUtf8(printed), 0), jdk.version), 0) << printed;
}
#endif

}  // namespace
}  // namespace javelin
