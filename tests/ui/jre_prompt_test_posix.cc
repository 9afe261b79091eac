// The terminal prompt that asks for a Java folder: alone, fed through a pipe,
// and in the launcher that finds no fitting runtime, on a pseudo-terminal as
// a user would answer it.
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "e2e/e2e_support.h"
#include "jre/runtime_fixture.h"
#include "ui/jre_prompt_posix.h"

namespace javelin::test {
namespace {

const std::string kPrompt = "JRE Pfad: ";

size_t Count(const std::string& text, const std::string& part) {
  size_t count = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
  return count;
}

TEST(JrePrompt, AsksUntilTheFolderHoldsALibraryOfTheRequiredKind) {
  TempDir dir;
  const std::u16string clientOnly = MakeRuntime(dir / u"client", {JvmFlavor::kClient}, false);
  const std::u16string server = MakeRuntime(dir / u"server", {JvmFlavor::kServer});
  const std::string root = ToUtf8(dir.path());
  const struct {
    const char* name;
    int32_t jvmType;
    std::vector<std::string> answers;  // the lines typed before the end of the input
    std::u16string home;               // the choice, after refusing every other answer; empty: cancelled
  } cases[] = {
      {"trailing slash kept single", 0, {root + "/server/"}, server},
      {"client only without marker accepted", 0, {root + "/client"}, clientOnly},
      {"server required refuses client", 1, {root + "/client", root + "/server"}, server},
      {"unusable then usable, blanks trimmed", 0, {root + "/none", "  " + root + "/server  "}, server},
      {"relative to the current folder", 0, {"server"}, server},
      {"end of input cancels", 0, {}, u""},
      {"refused then end of input", 1, {root + "/client"}, u""},
  };
  char previous[4096];
  ASSERT_NE(getcwd(previous, sizeof(previous)), nullptr);
  ASSERT_EQ(chdir(root.c_str()), 0);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    int input[2], output[2];
    ASSERT_TRUE(pipe(input) == 0 && pipe(output) == 0);
    std::string typed;
    for (const std::string& answer : c.answers) typed += answer + "\n";
    ASSERT_EQ(write(input[1], typed.data(), typed.size()), static_cast<ssize_t>(typed.size()));
    close(input[1]);
    const auto choice = PromptForJre({u"Die JRE wurde nicht gefunden. von:", c.jvmType, u""}, input[0], output[1]);
    close(output[1]);
    std::string shown(4096, '\0');
    shown.resize(std::max<ssize_t>(read(output[0], shown.data(), shown.size()), 0));
    close(input[0]);
    close(output[0]);
    EXPECT_EQ(shown.rfind("Die JRE wurde nicht gefunden. von:\n  https://adoptium.net/\n\nWenn Sie ein JRE installiert "
                          "haben, können Sie unten danach suchen:\n" + kPrompt, 0), 0u) << shown;
    EXPECT_EQ(Count(shown, "Kein JRE: "), c.answers.size() - (c.home.empty() ? 0 : 1)) << shown;
    const JvmFlavor flavor = c.home == server ? JvmFlavor::kServer : JvmFlavor::kClient;
    EXPECT_EQ(choice ? ToUtf8(choice->javaHome + u" " + choice->jvmLibraryPath) : "",
              c.home.empty() ? "" : ToUtf8(c.home + u" " + LibraryIn(c.home, flavor)));
  }
  ASSERT_EQ(chdir(previous), 0);
}

// Runs the launcher with a new pseudo-terminal as its standard input and
// error, its output in dir/out.txt and the per-user settings in dir/home,
// answering each prompt in turn. Its exit code and what the terminal showed
// up to the last prompt (without the terminal's carriage returns).
std::pair<int, std::string> RunOnTerminal(const std::u16string& program, const std::vector<std::string>& answers,
                                          const std::u16string& dir) {
  const std::string path = ToUtf8(program), home = ToUtf8(dir + u"/home"), out = ToUtf8(dir + u"/out.txt");
  int terminal = -1;
  const pid_t child = forkpty(&terminal, nullptr, nullptr, nullptr);
  if (child == 0) {
    dup2(open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644), 1);
    unsetenv("JAVA_HOME");
    setenv("HOME", home.c_str(), 1);
    setenv("XDG_CONFIG_HOME", home.c_str(), 1);
    execl(path.c_str(), path.c_str(), static_cast<char*>(nullptr));
    _exit(121);
  }
  std::string shown;
  for (size_t i = 0; i < answers.size(); ++i) {
    // Waits at most 10 s for the next prompt.
    for (int tries = 0; Count(shown, kPrompt) <= i && tries < 100; ++tries) {
      pollfd fd{terminal, POLLIN, 0};
      char buffer[512];
      const ssize_t got = poll(&fd, 1, 100) > 0 ? read(terminal, buffer, sizeof(buffer)) : 0;
      if (got < 0) break;
      shown.append(buffer, got);
    }
    const std::string typed = answers[i] + "\n";
    EXPECT_EQ(write(terminal, typed.data(), typed.size()), static_cast<ssize_t>(typed.size()));
  }
  int status = 0;
  for (int waited = 0; waitpid(child, &status, WNOHANG) != child; usleep(50000)) {
    if (++waited == 1200) kill(child, SIGKILL);  // after 60 s
  }
  close(terminal);
  shown.erase(std::remove(shown.begin(), shown.end(), '\r'), shown.end());
  return {WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status), shown};
}

TEST(JreNotFoundOnLinux, AsksOnATerminalRemembersTheAnswerAndExplainsWithoutOne) {
  if (JavaClassesDir().empty() || !FileExists(JvmLibraryInHome(JdkHome()))) GTEST_SKIP() << "no JDK";
  const struct {
    const char* name;
    bool answerTheJdk;  // after an unusable folder; else an empty answer
    std::string url;    // the vendor's download address, if any
    bool service;       // remembered beside the launcher, not per user
  } cases[] = {
      {"an unusable folder, then the JDK", true, "", false},
      {"the JDK in service mode", true, "", true},
      {"an empty answer", false, "https://example.com/java", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TempDir dir;
    // No installed runtime satisfies version 99, so every source fails.
    const std::u16string launcher =
        MakeApp(dir / u"app", u"app",
                "[Java Runtime Environment]\nMain Class=launch.Probe\nMinimum Version=99\n" +
                    (c.url.empty() ? "" : "Download URL=" + c.url + "\n") + "[Class Path]\nClass Path=" +
                    ToUtf8(JavaClassesDir()) + "\n" + (c.service ? "[Application]\nApplication Type=service\n" : ""));
    const std::string nothing = ToUtf8(dir / u"nothing");
    const auto answers = c.answerTheJdk ? std::vector{nothing, ToUtf8(JdkHome())} : std::vector{std::string()};
    const auto [exitCode, shown] = RunOnTerminal(launcher, answers, dir.path());
    const int expectedCode = c.answerTheJdk ? 0 : ExitCodeMinusOne();
    EXPECT_EQ(exitCode, expectedCode) << shown;
    const std::string url = c.url.empty() ? ToUtf8(kDefaultDownloadUrl) : c.url;
    EXPECT_NE(shown.find("(minimum Version 99.0) von:\n  " + url + "\n"), std::string::npos) << shown;
    EXPECT_EQ(shown.find("Kein JRE: " + nothing) != std::string::npos, c.answerTheJdk) << shown;
    // The program's output begins with "argc=0".
    EXPECT_EQ(ReadFile(dir / u"out.txt").substr(0, 7), c.answerTheJdk ? "argc=0\n" : "");
    // The folder is remembered in the configuration beside a service, else
    // in the user's own settings.
    EXPECT_EQ(ReadFile(dir / u"app/app.ini").find("JRE Path=" + ToUtf8(JdkHome())) != std::string::npos,
              c.service && c.answerTheJdk);

    // The next start without a terminal finds the remembered folder or says why it ends.
    ProcessOptions options;
    options.environment[u"JAVA_HOME"] = std::nullopt;
    options.environment[u"HOME"] = options.environment[u"XDG_CONFIG_HOME"] = dir / u"home";
    const ProcessResult again = RunProgram(launcher, {}, options);
    EXPECT_EQ(again.exitCode, expectedCode) << again.errors;
    EXPECT_EQ(c.answerTheJdk ? again.output.substr(0, 7) : again.output,
              c.answerTheJdk ? "argc=0\n"
                             : "Error: Die Java-Laufzeitumgebung (JRE) wurde nicht gefunden. Bitte downloaden und "
                               "installieren Sie eine JRE (minimum Version 99.0) von: " + url + " \n");
  }
}

}  // namespace
}  // namespace javelin::test
