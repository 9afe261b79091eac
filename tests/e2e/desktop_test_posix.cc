// A launcher started from a desktop menu (no controlling terminal, standard
// output going nowhere) in a graphical session shows its errors and its
// question for a Java folder through the session's dialog program. Here
// that program is a script on PATH that records its arguments and answers
// as told; tests/ui/desktop_dialogs_on_display.sh runs the real zenity.
#include <stdio.h>
#include <sys/stat.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "e2e/e2e_support.h"

namespace javelin::test {
namespace {

// Each call writes its arguments, each ended by a NUL, to callN (N from 0); the Nth
// line of "answers" is "STATUS OUTPUT" for the Nth call.
const char kDialogScript[] =
    "#!/bin/sh\n"
    "d=$(dirname \"$0\")\n"
    "n=$(ls \"$d\" | grep -c '^call')\n"
    "for a in \"$@\"; do printf '%s\\0' \"$a\"; done >\"$d/call$n\"\n"
    "line=$(sed -n \"$((n + 1))p\" \"$d/answers\")\n"
    "case \"$line\" in *' '*) printf '%s\\n' \"${line#* }\" ;; esac\n"
    "exit \"${line%% *}\"\n";

class DesktopTest : public ::testing::Test {
 protected:
  DesktopTest() {
    WriteFile(dir_ / u"bin/zenity", kDialogScript);
    chmod(ToUtf8(dir_ / u"bin/zenity").c_str(), 0755);
    options_.environment[u"PATH"] = dir_ / u"bin" + u":/usr/bin:/bin";
    options_.environment[u"DISPLAY"] = u":77";
    options_.environment[u"WAYLAND_DISPLAY"] = std::nullopt;
    options_.environment[u"HOME"] = dir_ / u"home";
    options_.environment[u"XDG_CONFIG_HOME"] = dir_ / u"home";
    options_.environment[u"JAVA_HOME"] = std::nullopt;
  }

  void Answer(const std::string& lines) { WriteFile(dir_ / u"bin/answers", lines); }

  // The arguments of each call of the dialog program, in order.
  std::vector<std::vector<std::string>> Calls() {
    std::vector<std::vector<std::string>> calls;
    for (int n = 0; FileExists(dir_ / (u"bin/call" + ToDecimal(n))); ++n) {
      std::istringstream arguments(ReadFile(dir_ / (u"bin/call" + ToDecimal(n))));
      calls.emplace_back();
      for (std::string argument; std::getline(arguments, argument, '\0');)
        calls.back().push_back(argument);
    }
    return calls;
  }

  // As from a menu: a session of its own (no controlling terminal) and
  // standard output on /dev/null; or with standard output to a file read
  // back.
  ProcessResult Run(const std::u16string& launcher, bool outputToNull = true) {
    if (!outputToNull) return RunProgram(u"/usr/bin/setsid", {u"-w", launcher}, options_);
    return RunProgram(u"/usr/bin/setsid",
                      {u"-w", u"/bin/sh", u"-c", u"exec \"$0\" >/dev/null", launcher}, options_);
  }

  TempDir dir_;
  ProcessOptions options_;
};

TEST_F(DesktopTest, ErrorsGoToADialogOnlyWhenNobodyReadsTheOutput) {
  const std::u16string launcher = MakeApp(dir_ / u"app", u"acme",
                                          "[Product Information]\nProduct Name=Acme \"$HOME\" `x` "
                                          ";\n[Application]\nMessage Language=en\n");
  Answer("0\n0\n0\n");
  ProcessResult result = Run(launcher);
  EXPECT_EQ(result.exitCode, ExitCodeMinusOne());
  // The arguments reach the program as they are: no shell in between.
  const std::vector<std::vector<std::string>> expected = {
      {"--error", "--no-markup", "--title=Acme \"$HOME\" `x` ;",
       "--text=Main class not specified in the INI file.", "--width=420"}};
  EXPECT_EQ(Calls(), expected);

  // Standard output to a file (a script's redirection): the line, no dialog.
  result = Run(launcher, false);
  EXPECT_EQ(result.exitCode, ExitCodeMinusOne());
  EXPECT_EQ(result.output, "Error: Main class not specified in the INI file. \n");
  EXPECT_EQ(Calls().size(), 1u);

  // No graphical session: no dialog.
  options_.environment[u"DISPLAY"] = u"";
  EXPECT_EQ(Run(launcher).exitCode, ExitCodeMinusOne());
  EXPECT_EQ(Calls().size(), 1u);
  // Without a product name the title is the executable's name.
  options_.environment[u"DISPLAY"] = u":77";
  WriteFile(dir_ / u"app/acme.ini", "");
  EXPECT_EQ(Run(launcher).exitCode, ExitCodeMinusOne());
  ASSERT_EQ(Calls().size(), 2u);
  EXPECT_EQ(Calls()[1][2], "--title=acme");
}

TEST_F(DesktopTest, TheJavaQuestionTakesATypedOrPickedFolderAndRemembersIt) {
  const std::u16string home = dir_ / u"picked jre";
  const std::u16string library = InstallTestJvm(home);
  const std::u16string launcher =
      MakeApp(dir_ / u"app", u"acme", AppIni(u"", "demo.Main", ".", "Minimum Version=99\n"));
  const std::u16string remembered = dir_ / u"home/acme.ini";

  // Cancel: -1 and nothing written.
  Answer("1\n");
  EXPECT_EQ(Run(launcher).exitCode, ExitCodeMinusOne());
  EXPECT_FALSE(FileExists(remembered));
  std::vector<std::vector<std::string>> calls = Calls();
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0][1], "--title=JRE nicht gefunden");
  EXPECT_EQ(calls[0][2],
            "--text=Die Java-Laufzeitumgebung (JRE) wurde nicht gefunden. Bitte downloaden und "
            "installieren Sie "
            "eine JRE (minimum Version 99.0) von:\nhttps://adoptium.net/\n\nWenn Sie ein JRE "
            "installiert haben, "
            "können Sie unten danach suchen:\nJRE Pfad:");
  remove(ToUtf8(dir_ / u"bin/call0").c_str());

  // A folder without a runtime is named and the question asked again;
  // Browse fills the field from the folder picker; OK launches with it.
  Answer("0 " + ToUtf8(dir_.path()) + "\n1 Durchsuche...\n0 " + ToUtf8(home) + "\n0 " +
         ToUtf8(home) + "\n");
  const ProcessResult result = Run(launcher);
  EXPECT_EQ(result.exitCode, 0) << result.errors;
  calls = Calls();
  ASSERT_EQ(calls.size(), 4u);
  EXPECT_EQ(calls[1][2].substr(0, 7 + 10 + dir_.path().size()),
            "--text=Kein JRE: " + ToUtf8(dir_.path()));
  EXPECT_EQ(calls[2][0], "--file-selection");
  EXPECT_EQ(calls[3][3], "--entry-text=" + ToUtf8(home));
  EXPECT_NE(ReadFile(remembered).find("JRE Path=" + ToUtf8(home) + "/"), std::string::npos)
      << ReadFile(remembered);
  // The JVM in the picked folder was created.
  const std::vector<std::string> log = TestJvmLog(library);
  EXPECT_NE(std::find_if(log.begin(), log.end(),
                         [](const std::string& line) {
                           return line.rfind("option -Djava.class.path=", 0) == 0;
                         }),
            log.end());
}

}  // namespace
}  // namespace javelin::test
