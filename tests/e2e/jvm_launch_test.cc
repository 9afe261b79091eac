// End-to-end launches with the test JVM (Linux, and Windows under Wine): it
// records the options it is created with, prints main's String[] and fails
// on demand.
#include <gtest/gtest.h>

#include <algorithm>
#include <ctime>
#include <regex>

#include "base/file_system.h"
#include "config/ini_text.h"
#include "e2e/e2e_support.h"
#include "jvm/jvm_environment.h"

namespace javelin::test {
namespace {

const std::u16string kS(1, kSearchPathSeparator);

class TestJvmLaunchTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (TestJvmPath().empty()) GTEST_SKIP() << "no test JVM in this build";
  }

  // Launches com.example.App through the test JVM (or a variant) with
  // `control` as its instructions. `iniLines` follow the main class; by
  // default only an absolute class path.
  ProcessResult Launch(const std::u16string& variant, const std::string& control, std::string iniLines = "",
                       const TextList& arguments = {}) {
    library_ = InstallTestJvm(dir_ / u"home", variant);
    SetTestJvmControl(library_, control);
    if (iniLines.empty()) iniLines = "[Class Path]\nClass Path=" + ToUtf8(dir_ / u"classes") + "\n";
    launcher_ = MakeApp(dir_ / u"app", u"app",
                        "[Java Runtime Environment]\nJRE Path=" + ToUtf8(dir_ / u"home") +
                            "\nMain Class=com.example.App\n" + iniLines);
    return WithUnixLineEnds(RunProgram(launcher_, arguments, options_));
  }

  TempDir dir_;
  ProcessOptions options_;
  std::u16string library_;
  std::u16string launcher_;
};

TEST_F(TestJvmLaunchTest, ANormalLaunchPassesTheOptionsAndTheArguments) {
  const std::u16string app = dir_ / u"app";
  for (const char16_t* jar : {u"lib/a.jar", u"lib/b.jar", u"app.jar"}) WriteFile(JoinPath(app, jar), "");
  const std::u16string oldPath = dir_ / u"old1" + kS + dir_ / u"old2";
  options_.environment[kSearchPathVariable] = oldPath;
  options_.environment[u"OPT_STACK"] = u"1m";
  const TextList arguments = {u"x", u"y z", u"Gr\u00FC\u00DFe", u"\U0001F600"};
  const ProcessResult result = Launch(
      u"", "",
      "Library Path=native;\n"
      "Virtual Machine Parameters=-Dopt.path=\"" + ToUtf8(dir_ / u"with blank") + "\" -Xms1:32:32P -Xss%OPT_STACK%\n"
      "[Class Path]\n"
      "Class Path=" + ToUtf8(JoinPath(u"", u"lib/*.jar;%KV_JVM_HOME%/lib/tools.jar;missing.jar;app.jar")) + "\n"
      "[Application]\n"
      "Embedded Jar=yES\n"
      "Cmd=a \"b c\" \"\"\n"
      "Output File=" + ToUtf8(dir_ / u"logs/deeper/out_%yyyy%.txt") + "\n",
      arguments);
  EXPECT_EQ(result.exitCode, 0) << result.output << result.errors;
  EXPECT_EQ(result.output, "");
  EXPECT_EQ(result.errors, "main done\n");

  // The library path, the class path (the launcher first for an embedded
  // jar), the parameters in order and the two hooks. An -Xss size written
  // with a variable is not the thread's: the JVM's default is asked for.
  auto expectedLog = [&](const char16_t* firstJar, const char16_t* secondJar) {
    return std::vector<std::string>{
        "default-init-args",
        ToUtf8(u"option -Djava.library.path=native" + kS + app + kPathSeparator + kS + u"." + kS + oldPath +
               dir_ / u"home/lib"),
        ToUtf8(u"option -Djava.class.path=" + launcher_ + kS + JoinPath(app, firstJar) + kS +
               JoinPath(app, secondJar) + kS + dir_ / u"home/lib/tools.jar" + kS + JoinPath(app, u"app.jar")),
        ToUtf8(u"option -Dopt.path=" + dir_ / u"with blank"),
        "option -Xms32768K",
        "option -Xss1m",
        "hook abort",
        "hook exit",
    };
  };
  const std::vector<std::string> log = TestJvmLog(library_);
  EXPECT_TRUE(log == expectedLog(u"lib/a.jar", u"lib/b.jar") || log == expectedLog(u"lib/b.jar", u"lib/a.jar"))
      << testing::PrintToString(log);

  // main's String[]: the command line, then the "Cmd" tokens without the
  // empty one; printed into the file named after the year.
  const std::time_t now = std::time(nullptr);
  const std::string year = std::to_string(std::localtime(&now)->tm_year + 1900);
  EXPECT_EQ(ReadFile(dir_ / FromUtf8("logs/deeper/out_" + year + ".txt")),
            PrintedArguments({u"x", u"y z", u"Gr\u00FC\u00DFe", u"\U0001F600", u"a", u"b c"}));
}

#ifdef _WIN32  // POSIX programs receive an argv, not a command line
TEST_F(TestJvmLaunchTest, TheWindowsCommandLineIsSplitWithoutEscapes) {
  Launch(u"", "");
  const ProcessResult result = WithUnixLineEnds(
      RunCommandLine(launcher_, u"\t \"" + launcher_ + u"\"  a\"b c\" C:\\path\\ \"\" \"x\"y \"rest  of it"));
  EXPECT_EQ(result.exitCode, 0) << result.errors;
  EXPECT_EQ(result.output, PrintedArguments({u"a\"b", u"c\"", u"C:\\path\\", u"", u"x", u"y", u"rest  of it"}));
}
#endif

TEST_F(TestJvmLaunchTest, AnEmptyClassPathIsReportedAndTheLaunchGoesOnWithoutTheIniOptions) {
  const ProcessResult result = Launch(u"", "",
                                      "Virtual Machine Parameters=-Dopt=1\n[Class Path]\nClass Path=;;\n"
                                      "[Application]\nCmd=a\nOutput File=out.txt\n",
                                      {u"x"});
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_EQ(result.output,
            "Error: Java-Klassenpfad wurde in der INI-Datei nicht angegeben. \n" + PrintedArguments({u"x"}));
  EXPECT_EQ(TestJvmLog(library_), (std::vector<std::string>{"default-init-args", "hook abort", "hook exit"}));
}

TEST_F(TestJvmLaunchTest, EachFailureEndsWithItsMessage) {
  struct Case {
    std::u16string variant;
    std::string control;
    int exitCode;        // -1 for the platform's -1
    std::string output;  // a regular expression for all of it
  };
  const std::string noJvm =
      "Error: Windows Fehler: Kann CreateJavaVM JNI nicht finden \\(Fehlernummer = -?[0-9]+\\)\\.\n \n";
  const Case cases[] = {
      // A library without one of the two entry points is no JVM.
      {u"nocreate", "", -1, noJvm},
      {u"nodefaults", "", -1, noJvm},
      // Without the boot-loader lookup the launcher loads the class itself
      // and reports its failures.
      {u"noboot", "", 0, "argc=0\n"},
      {u"noboot", "missing=com/example/App\n", -1, "Error: Konnte die Main class com/example/App nicht finden\\.\n \n"},
      {u"noboot", "nomain\n", -1, "Error: Keine Main class in der angegebenen Klasse gefunden\\.\n \n"},
      // A JVM thread that cannot detach fails the launch after main.
      {u"", "detach=-1\n", -1, "argc=0\n"},
      // A refused creation: message 213 with the reason (each reason's text
      // is checked where the reports are made).
      {u"", "create=-4\n", -1,
       "Error: JNI Fehler: konnte die Java VM nicht erzeugen\nReason: [^\n]*Arbeitsspeicher\\.\n \n"},
  };
  for (const Case& test : cases) {
    SCOPED_TRACE(ToUtf8(test.variant) + " " + test.control);
    const ProcessResult result = Launch(test.variant, test.control);
    EXPECT_EQ(result.exitCode, test.exitCode == -1 ? ExitCodeMinusOne() : test.exitCode) << result.errors;
    EXPECT_TRUE(std::regex_match(result.output, std::regex(test.output))) << result.output;
  }

  // A file that does not load as a library: message 222 names it whole, in
  // UTF-8, whatever script the path is written in. The INI file is UTF-16
  // with a byte-order mark: the one encoding that both INI readers take for
  // every character.
  const std::u16string home = dir_ / u"\u042F\u0432\u0430 \u4E2D\u6587 \U0001D11E";
  const std::u16string library = InstallTestJvm(home);
  WriteFile(library, "not a shared library");
  const std::u16string ini = u"[Java Runtime Environment]\nJRE Path=" + home +
                             u"\nMain Class=com.example.App\n[Class Path]\nClass Path=.\n";
  const ProcessResult result =
      WithUnixLineEnds(RunProgram(MakeApp(dir_ / u"app", u"app", EncodeIniText(ini, IniEncoding::kUtf16LeBom)), {}));
  EXPECT_EQ(result.exitCode, ExitCodeMinusOne());
  // Windows names the error by its number; POSIX by the loader's reason,
  // without the path that the line shows already.
  const bool byNumber = kPathSeparator == u'\\';
  const std::string prefix = "Error: Konnte Java VM Bibliothek: " + ToUtf8(library) +
                             (byNumber ? " (Fehlernummer= " : " (");
  EXPECT_EQ(result.output.substr(0, prefix.size()), prefix) << result.output;
  const char* rest = byNumber ? "-?[0-9]+\\) nicht laden\\.\n \n"
                              : "(file too short|invalid ELF header)\\) nicht laden\\.\n \n";
  EXPECT_TRUE(std::regex_match(result.output.substr(std::min(prefix.size(), result.output.size())), std::regex(rest)))
      << result.output;
}

TEST_F(TestJvmLaunchTest, WithoutAMainClassTheLauncherStopsWithMessage210) {
  const std::u16string library = InstallTestJvm(dir_ / u"jre");
  SetTestJvmControl(library, "");
  const std::u16string launcher = InstallLauncher(dir_.path(), u"tool");
  for (const char* ini : {"", "[Java Runtime Environment]\nJRE Path=jre\nMain Class=\n[Class Path]\nClass Path=.\n"}) {
    if (*ini != '\0') WriteFile(dir_ / u"tool.ini", ini);
    const ProcessResult result = WithUnixLineEnds(RunProgram(launcher, {u"ignored"}));
    EXPECT_EQ(result.output, "Error: Main class in der INI-Datei nicht spezifiziert. \n") << ini;
    EXPECT_EQ(result.exitCode, ExitCodeMinusOne()) << ini;
    EXPECT_TRUE(TestJvmLog(library).empty()) << ini;  // the JVM was never loaded
  }
}

}  // namespace
}  // namespace javelin::test
