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
    std::u16string home;               // the expected choice; empty: cancelled
    int refusals;                      // how many answers were refused
  } cases[] = {
      {"trailing slash kept single", 0, {root + "/server/"}, server, 0},
      {"client only without marker accepted", 0, {root + "/client"}, clientOnly, 0},
      {"server required refuses client", 1, {root + "/client", root + "/server"}, server, 1},
      {"unusable then usable, blanks trimmed", 0, {root + "/none", "  " + root + "/server  "}, server, 1},
      {"relative to the current folder", 0, {"server"}, server, 0},
      {"end of input cancels", 0, {}, u"", 0},
      {"refused then end of input", 1, {root + "/client"}, u"", 1},
  };
  char previous[4096];
  ASSERT_NE(getcwd(previous, sizeof(previous)), nullptr);
  ASSERT_EQ(chdir(root.c_str()), 0);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    int input[2], output[2];
    ASSERT_EQ(pipe(input), 0);
    ASSERT_EQ(pipe(output), 0);
    std::string typed;
    for (const std::string& answer : c.answers) typed += answer + "\n";
    ASSERT_EQ(write(input[1], typed.data(), typed.size()), static_cast<ssize_t>(typed.size()));
    close(input[1]);
    const JreDialogRequest request{u"Die Java-Laufzeitumgebung (JRE) wurde nicht gefunden. von:", c.jvmType, u""};
    const std::optional<JreDialogChoice> choice = PromptForJre(request, input[0], output[1]);
    close(output[1]);
    std::string shown;
    char buffer[4096];
    for (ssize_t got; (got = read(output[0], buffer, sizeof buffer)) > 0;) shown.append(buffer, got);
    close(input[0]);
    close(output[0]);
    EXPECT_EQ(shown.rfind("Die Java-Laufzeitumgebung (JRE) wurde nicht gefunden. von:\n  https://adoptium.net/\n\n"
                          "Wenn Sie ein JRE installiert haben, können Sie unten danach suchen:\n" + kPrompt, 0),
              0u) << shown;
    EXPECT_EQ(Count(shown, "Kein JRE: "), static_cast<size_t>(c.refusals)) << shown;
    EXPECT_EQ(Count(shown, kPrompt), c.refusals + 1u) << shown;  // the dialog stops at the first usable one
    EXPECT_EQ(choice.has_value(), !c.home.empty());
    if (choice && !c.home.empty()) {
      EXPECT_EQ(ToUtf8(choice->javaHome), ToUtf8(c.home));
      EXPECT_EQ(ToUtf8(choice->jvmLibraryPath),
                ToUtf8(LibraryIn(c.home, c.home == server ? JvmFlavor::kServer : JvmFlavor::kClient)));
    }
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
    const int output = open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (output < 0) _exit(120);
    dup2(output, 1);
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
  // The program's output begins with "argc=0\n"; any other text is the whole output.
  const auto expectOutput = [](const std::string& actual, const std::string& expected) {
    EXPECT_EQ(expected == "argc=0\n" ? actual.substr(0, expected.size()) : actual, expected);
  };
  const struct {
    const char* name;
    bool answerTheJdk;  // else an empty answer
    std::string url;    // the vendor's download address, if any
    int exitCode;
    std::string output;       // of the run on the terminal
    std::string outputAgain;  // of the next start, without a terminal
    bool service = false;     // remembered beside the launcher, not per user
  } cases[] = {
      {"an unusable folder, then the JDK", true, "", 0, "argc=0\n", "argc=0\n"},
      {"the JDK in service mode", true, "", 0, "argc=0\n", "argc=0\n", true},
      {"an empty answer", false, "https://example.com/java", ExitCodeMinusOne(), "",
       "Error: Die Java-Laufzeitumgebung (JRE) wurde nicht gefunden. Bitte downloaden und "
       "installieren Sie eine JRE (minimum Version 99.0) von: https://example.com/java \n"},
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
    EXPECT_EQ(exitCode, c.exitCode) << shown;
    const std::string url = c.url.empty() ? ToUtf8(kDefaultDownloadUrl) : c.url;
    EXPECT_NE(shown.find("(minimum Version 99.0) von:\n  " + url + "\n"), std::string::npos) << shown;
    EXPECT_EQ(shown.find("Kein JRE: " + nothing) != std::string::npos, c.answerTheJdk) << shown;
    expectOutput(ReadFile(dir / u"out.txt"), c.output);
    // The folder is remembered in the configuration beside a service, else
    // in the user's own settings.
    EXPECT_EQ(ReadFile(dir / u"app/app.ini").find("JRE Path=" + ToUtf8(JdkHome())) != std::string::npos,
              c.service && c.answerTheJdk);

    // The next start without a terminal finds the remembered folder or says why it ends.
    ProcessOptions options;
    options.environment[u"JAVA_HOME"] = std::nullopt;
    options.environment[u"HOME"] = options.environment[u"XDG_CONFIG_HOME"] = dir / u"home";
    const ProcessResult again = RunProgram(launcher, {}, options);
    EXPECT_EQ(again.exitCode, c.exitCode) << again.errors;
    expectOutput(again.output, c.outputAgain);
  }
}

}  // namespace
}  // namespace javelin::test
