// The runtime search as a user meets it: a launcher copy beside its INI file.
#include <gtest/gtest.h>

#include <filesystem>

#include "jre/jre_locator.h"
#include "jre/runtime_fixture.h"
#include "launcher/launcher.h"
#include "support/test_support.h"

namespace javelin {
namespace {

using test::JoinPath;
using test::TempDir;

// Environment of a user without JAVA_HOME, whose per-user settings live in
// `configDir`, and without a display for any dialog.
test::ProcessOptions IsolatedUser(const std::u16string& configDir) {
  test::ProcessOptions options;
  options.environment[u"JAVA_HOME"] = std::nullopt;
  options.environment[u"DISPLAY"] = std::nullopt;
  options.environment[u"HOME"] = configDir;
  options.environment[u"XDG_CONFIG_HOME"] = configDir;
  options.environment[u"APPDATA"] = configDir;
  options.timeoutSeconds = 60;
  return options;
}

size_t Count(const std::string& text, const std::string& part) {
  size_t count = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
  return count;
}

TEST(JreSearchEndToEnd, AppFolderRuntimeIsUsedAfterAConfiguredFolderWithoutLibrary) {
  TempDir dir;
  const std::u16string app = dir / u"app";
  const std::u16string launcher = test::InstallLauncher(app, u"myapp");
  // The application folder is a runtime itself and also carries one in jre.
  test::MakeRuntime(app, {JvmFlavor::kClient});
  test::MakeRuntime(JoinPath(app, u"jre"), {JvmFlavor::kClient});
  test::MakeRuntime(dir / u"configured", {});  // marker only, no JVM library
  test::WriteFile(JoinPath(app, u"myapp.ini"),
                  "[Java Runtime Environment]\n"
                  "Main Class=never.Loaded\n"
                  "JRE Path=" + ToUtf8(dir / u"configured") + "\n");
  test::MakeDirectories(dir / u"config");

  const test::ProcessResult result =
      test::RunProgram(launcher, {}, IsolatedUser(dir / u"config"));
  // The empty library file cannot be loaded; the report names the one chosen.
  EXPECT_EQ(result.exitCode, test::ExitCodeMinusOne());
  const std::string chosen = ToUtf8(test::LibraryIn(app, JvmFlavor::kClient));
  EXPECT_NE(result.output.find(chosen), std::string::npos) << result.output;
  // Nothing was said about the configured folder: one report only.
  EXPECT_EQ(Count(result.output, "Error:"), 1u) << result.output;
}

TEST(JreSearchEndToEnd, NoRuntimeAnywhereEndsWithMinusOneAndWritesNoSettings) {
  // Only where no runtime is installed on the machine (a fresh Wine prefix;
  // Linux machines usually have one below /usr/lib/jvm).
  Launcher probe;
  probe.jdkPreferred = probe.jrePreferred = true;
  std::u16string installed;
  VersionNumber version;
  if (FindInstalledRuntime(probe, false, installed, version)) {
    GTEST_SKIP() << "a Java runtime is installed at " << ToUtf8(installed);
  }

  TempDir dir;
  const std::u16string app = dir / u"app";
  const std::u16string launcher = test::InstallLauncher(app, u"myapp");
  const std::string ini =
      "[Product Information]\n"
      "Product Name=Javelin Tests\n"
      "Product Code=NoRuntime\n"
      "[Java Runtime Environment]\n"
      "Main Class=never.Loaded\n"
      "JRE Path=" + ToUtf8(dir / u"nothing") + "\n";
  test::WriteFile(JoinPath(app, u"myapp.ini"), ini);
  test::MakeDirectories(dir / u"config");

  const test::ProcessResult result =
      test::RunProgram(launcher, {}, IsolatedUser(dir / u"config"));
  EXPECT_EQ(result.exitCode, test::ExitCodeMinusOne()) << result.output << result.errors;
  // The search fails silently and the unanswered question reports nothing.
  EXPECT_EQ(result.output, "");
  EXPECT_EQ(test::ReadFile(JoinPath(app, u"myapp.ini")), ini);
  EXPECT_FALSE(test::FileExists(dir / u"config/Javelin Tests"));
  EXPECT_TRUE(std::filesystem::is_empty(std::filesystem::path(dir / u"config")))
      << "something was written to the per-user settings";
}

}  // namespace
}  // namespace javelin
