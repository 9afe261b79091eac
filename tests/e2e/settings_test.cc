// The settings stage of the built launcher: without a main class it stops
// with message 210 before any Java runtime is touched; with one it goes on
// and starts the configured class with the command-line arguments. A test
// JVM in a "jre" folder beside the launcher shows how far the launch got.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "base/file_system.h"
#include "base/text.h"
#include "e2e/e2e_support.h"
#include "support/test_support.h"

namespace javelin::test {
namespace {

// The "Error: %s \n" line of message 210; the Windows C runtime writes its
// line feed in text mode, as CR LF.
std::string NoMainClassLine() {
  return std::string("Error: Main class in der INI-Datei nicht spezifiziert. ") +
         (kPathSeparator == u'\\' ? "\r\n" : "\n");
}

// A launcher named "tool" with a test JVM in its "jre" folder.
class SettingsStageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    launcher_ = InstallLauncher(dir_.path(), u"tool");
    jvmLibrary_ = InstallTestJvm(dir_ / u"jre");
  }

  void WriteIni(const std::string& text) { WriteFile(dir_ / u"tool.ini", text); }

  std::vector<std::string> JvmLog() const { return ReadLines(TestJvmLogBeside(jvmLibrary_)); }

  // The log lines of main's String[] as the test JVM records them.
  static std::vector<std::string> MainLines(const std::string& slashedClass,
                                            const TextList& arguments) {
    std::vector<std::string> lines{"main " + slashedClass +
                                   " argc=" + std::to_string(arguments.size())};
    for (const std::u16string& argument : arguments) lines.push_back("arg " + EscapeUnits(argument));
    return lines;
  }

  static bool ContainsInOrder(const std::vector<std::string>& log,
                              const std::vector<std::string>& lines) {
    const int first = LineIndex(log, lines.front());
    if (first < 0 || first + lines.size() > log.size()) return false;
    return std::equal(lines.begin(), lines.end(), log.begin() + first);
  }

  TempDir dir_;
  std::u16string launcher_;
  std::u16string jvmLibrary_;
};

TEST_F(SettingsStageTest, WithoutMainClassTheLauncherStopsWithMessage210) {
  const char* const inis[] = {
      nullptr,  // no configuration file at all
      "[Java Runtime Environment]\r\nJRE Path=jre\r\n[Class Path]\r\nClass Path=.\r\n",
      "[Java Runtime Environment]\r\nJRE Path=jre\r\nMain Class=\r\n",
      "[Java Runtime Environment]\r\nJRE Path=jre\r\n;Main Class=app.Main\r\n",
      "[Application]\r\nMain Class=app.Main\r\n",
  };
  for (const char* ini : inis) {
    if (ini != nullptr) WriteIni(ini);
    const ProcessResult result = RunProgram(launcher_, {u"ignored"});
    const std::string which = ini != nullptr ? ini : "(no file)";
    EXPECT_EQ(result.output, NoMainClassLine()) << which;
    EXPECT_EQ(result.exitCode, ExitCodeMinusOne()) << which;
    // The Java runtime beside it was never loaded.
    EXPECT_TRUE(JvmLog().empty()) << which;
  }
}

TEST_F(SettingsStageTest, WithMainClassTheConfiguredClassIsStarted) {
  WriteIni(
      "[Java Runtime Environment]\r\n"
      "JRE Path=jre\r\n"
      "Main Class=config.settings.Probe\r\n"
      "[Class Path]\r\n"
      "Class Path=.\r\n");
  const ProcessResult result = RunProgram(launcher_, {});
  EXPECT_EQ(result.output.find("Main class"), std::string::npos) << result.output;
  EXPECT_EQ(result.exitCode, 0) << result.output << result.errors;
  EXPECT_TRUE(ContainsInOrder(JvmLog(), MainLines("config/settings/Probe", {})));
}

// The "+" rule puts a blank in front, and the blank stays part of the name
// that reaches the JVM.
TEST_F(SettingsStageTest, AMainClassOnlyInThePlusSectionAlsoPassesTheStage) {
  WriteIni(
      "[Java Runtime Environment]\r\n"
      "JRE Path=jre\r\n"
      "[Java Runtime Environment+]\r\n"
      "Main Class=config.settings.Probe\r\n"
      "[Class Path]\r\n"
      "Class Path=.\r\n");
  const ProcessResult result = RunProgram(launcher_, {});
  EXPECT_EQ(result.output.find("Main class"), std::string::npos) << result.output;
  EXPECT_TRUE(ContainsInOrder(JvmLog(), MainLines(" config/settings/Probe", {})));
}

TEST_F(SettingsStageTest, TheWindowsCommandLineIsSplitWithoutEscapes) {
  if (kPathSeparator != u'\\') GTEST_SKIP() << "POSIX programs receive an argv, not a command line";
  WriteIni(
      "[Java Runtime Environment]\r\n"
      "JRE Path=jre\r\n"
      "Main Class=config.settings.Probe\r\n"
      "[Class Path]\r\n"
      "Class Path=.\r\n");
  struct Case {
    std::u16string tail;  // after the quoted program path
    TextList arguments;
  };
  const Case cases[] = {
      {u"", {}},
      {u"  one   \"two three\" \"\"", {u"one", u"two three", u""}},
      {u" a\"b c\"", {u"a\"b", u"c\""}},
      {u" \"abc\"def", {u"abc", u"def"}},
      {u" C:\\path\\ \"word\"", {u"C:\\path\\", u"word"}},
      {u" x \"unterminated rest", {u"x", u"unterminated rest"}},
      {u" a\tb \t\u00A0 ", {u"a\tb"}},
  };
  for (const Case& item : cases) {
    WriteFile(TestJvmLogBeside(jvmLibrary_), "");
    const std::u16string commandLine = u"\t \"" + launcher_ + u"\"" + item.tail;
    const ProcessResult result = RunCommandLine(launcher_, commandLine);
    EXPECT_EQ(result.exitCode, 0) << ToUtf8(item.tail) << result.output;
    EXPECT_TRUE(ContainsInOrder(JvmLog(), MainLines("config/settings/Probe", item.arguments)))
        << ToUtf8(item.tail);
  }
}

TEST_F(SettingsStageTest, PosixArgumentsArriveAsTheShellSplitThem) {
  if (kPathSeparator != u'/') GTEST_SKIP() << "Windows programs receive a command line";
  WriteIni(
      "[Java Runtime Environment]\r\n"
      "JRE Path=jre\r\n"
      "Main Class=config.settings.Probe\r\n"
      "[Class Path]\r\n"
      "Class Path=.\r\n");
  const TextList arguments{u"  padded  ", u"", u"\"quoted\"", u"a\\\"b", u"\u00E4\u20AC"};
  const ProcessResult result = RunProgram(launcher_, arguments);
  EXPECT_EQ(result.exitCode, 0) << result.output << result.errors;
  EXPECT_TRUE(ContainsInOrder(JvmLog(), MainLines("config/settings/Probe", arguments)));
}

}  // namespace
}  // namespace javelin::test
