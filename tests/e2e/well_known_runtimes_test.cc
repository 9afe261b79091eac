// Runtimes unpacked without registration (a vendor folder below the program
// folder on Windows, an IDE's ~/.jdks elsewhere) are found after every other
// source, and the launch trace says why each candidate was taken or not.
#include "jre/well_known_runtimes.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "e2e/e2e_support.h"
#include "jre/jre_locator.h"

namespace javelin::test {
namespace {

const bool kWindows = kPathSeparator == u'\\';

class WellKnownRuntimes : public ::testing::Test {
 protected:
  void SetUp() override {
    if (TestJvmPath().empty()) GTEST_SKIP() << "no test JVM in this build";
    // The root the launcher searches: %ProgramFiles%\Zulu, or ~/.jdks.
    root_ = kWindows ? dir_ / u"programs/Zulu" : dir_ / u"home/.jdks";
    options_.environment[kWindows ? u"ProgramFiles" : u"HOME"] = kWindows ? dir_ / u"programs" : dir_ / u"home";
    options_.environment[u"JAVA_HOME"] = std::nullopt;
    options_.environment[u"JAVELIN_TRACE"] = std::nullopt;
    // Version 99 is more than any installed runtime; 1.0 is out of range.
    library_ = AddRuntime(u"zulu-99", "99.0.1");
    AddRuntime(u"old", "1.0");
    SetTestJvmControl(library_, "");
    launcher_ =
        MakeApp(dir_ / u"app", u"app", AppIni(u"", "com.example.App", ToUtf8(dir_.path()), "Minimum Version=99\n"));
  }

  std::u16string AddRuntime(const std::u16string& name, const std::string& version) {
    const std::u16string home = JoinPath(root_, name);
    WriteFile(JoinPath(home, u"release"), "IMPLEMENTOR=\"Azul Systems, Inc.\"\nJAVA_VERSION=\"" + version + "\"\n");
    return InstallTestJvm(home);
  }

  TempDir dir_;
  std::u16string root_, library_, launcher_;
  ProcessOptions options_;
};

// In this process the variable that names the root is ours to set (Wine
// sets %ProgramFiles% anew for every process it starts).
TEST_F(WellKnownRuntimes, TheRootBelowTheProgramFolderOrHomeIsSearchedLast) {
  const char16_t* variable = kWindows ? u"ProgramFiles" : u"HOME";
  std::u16string saved;
  const bool wasSet = GetEnvironment(variable, saved);
  SetEnvironment(variable, *options_.environment[variable]);
  RuntimeSources sources;
  sources.wellKnownFolders = WellKnownRuntimeFolders();
  wasSet ? SetEnvironment(variable, saved) : RemoveEnvironment(variable);
  EXPECT_NE(std::find(sources.wellKnownFolders.begin(), sources.wellKnownFolders.end(), root_),
            sources.wellKnownFolders.end());
  RuntimeRequirements runtime;
  runtime.minimumVersion = ParseVersion(u"99", 0);
  const std::optional<RuntimeChoice> choice = FindJre(runtime, sources);
  ASSERT_TRUE(choice);
  EXPECT_EQ(choice->jvmLibraryPath, library_);
  EXPECT_EQ(FormatVersion(choice->version), u"99.0.1");
}

TEST_F(WellKnownRuntimes, AnUnregisteredRuntimeIsFoundAndTheTraceSaysWhy) {
  if (kWindows) GTEST_SKIP() << "Wine gives every process its own %ProgramFiles%";
  const ProcessResult plain = WithUnixLineEnds(RunProgram(launcher_, {u"x"}, options_));
  EXPECT_EQ(plain.exitCode, 0) << plain.output << plain.errors;
  EXPECT_EQ(plain.output, PrintedArguments({u"x"}));

  // A trace file changes nothing the user sees.
  options_.environment[u"JAVELIN_TRACE"] = dir_ / u"trace.txt";
  const ProcessResult traced = WithUnixLineEnds(RunProgram(launcher_, {u"x"}, options_));
  EXPECT_EQ(traced.exitCode, plain.exitCode);
  EXPECT_EQ(traced.output, plain.output);
  EXPECT_EQ(traced.errors, plain.errors);
  const std::string trace = ReadFile(dir_ / u"trace.txt");
  const std::string home = ToUtf8(JoinPath(root_, u"zulu-99/"));
  for (const std::string& line : {"javelin: configuration file \"" + ToUtf8(dir_ / u"app/app.ini") + "\" found",
                                  std::string("javelin: setting [Java Runtime Environment] Minimum Version = \"99\""),
                                  "javelin: candidate \"" + ToUtf8(JoinPath(root_, u"old/")) +
                                      "\" version 1.0 JRE: passed over, "
                                      "version out of range",
                                  "javelin: candidate \"" + home + "\" version 99.0.1 JRE: admitted",
                                  "javelin: JVM library \"" + ToUtf8(library_) + "\"",
                                  std::string("javelin: argument \"x\""), std::string("javelin: exit code 0")}) {
    EXPECT_NE(trace.find(line + "\n"), std::string::npos) << line << "\n" << trace;
  }

  // "1" writes the same lines to standard error; without a fitting runtime
  // every source and candidate is listed before the user is asked.
  WriteFile(JoinPath(root_, u"zulu-99/release"), "JAVA_VERSION=\"98\"\n");
  options_.environment[u"JAVELIN_TRACE"] = std::u16string(1, u'1');
  options_.environment[u"DISPLAY"] = std::nullopt;
  const ProcessResult failed = WithUnixLineEnds(RunProgram(launcher_, {}, options_));
  EXPECT_EQ(failed.exitCode, ExitCodeMinusOne());
  for (const char* line :
       {"javelin: runtime source \"JRE Path\": not set\n", "javelin: runtime source JAVA_HOME: not set\n",
        "version 98.0 JRE: passed over, version out of range\n", "javelin: no runtime found: asking the user\n",
        "javelin: exit code -1\n"}) {
    EXPECT_NE(failed.errors.find(line), std::string::npos) << line << "\n" << failed.errors;
  }
}

}  // namespace
}  // namespace javelin::test
