// The runtime search as a user meets it: a launcher copy beside its INI file.
#include <gtest/gtest.h>

#include <filesystem>

#include "jre/jre_locator.h"
#include "jre/runtime_fixture.h"
#include "support/test_support.h"
#include "ui/jre_dialog_canceller.h"

namespace javelin {
namespace {

// Runs dir/app/myapp with myapp.ini holding `ini`, for a user without
// JAVA_HOME or display whose settings live in dir/config.
test::ProcessResult RunApp(const test::TempDir& dir, const std::string& ini) {
  const std::u16string launcher = test::InstallLauncher(dir / u"app", u"myapp");
  test::WriteFile(dir / u"app/myapp.ini", ini);
  test::MakeDirectories(dir / u"config");
  test::ProcessOptions options;
  for (const char16_t* name : {u"JAVA_HOME", u"DISPLAY"}) options.environment[name] = std::nullopt;
  for (const char16_t* name : {u"HOME", u"XDG_CONFIG_HOME", u"APPDATA"}) {
    options.environment[name] = dir / u"config";
  }
  options.timeoutSeconds = 60;
  return test::RunProgram(launcher, {}, options);
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

}  // namespace
}  // namespace javelin
