// The launcher without a fitting runtime on Linux: on a terminal it asks for a
// Java folder and goes on with the real JVM, without one it says why it ends.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "e2e/e2e_support.h"

namespace javelin::test {
namespace {

const char kNoJreLine[] =
    "Error: Die Java-Laufzeitumgebung (JRE) wurde nicht gefunden. Bitte downloaden und "
    "installieren Sie eine JRE (minimum Version 99.0) von: https://adoptium.net/ \n";

struct TerminalRun {
  int exitCode = -1;
  std::string shown;   // what the terminal showed (the prompt, echoed answers)
  std::string output;  // standard output
};

// Runs `program` with a pseudo-terminal as standard input and error, typing
// one answer each time the prompt asks.
TerminalRun RunOnTerminal(const std::u16string& program, const std::vector<std::string>& answers,
                          const std::u16string& home, const std::u16string& outputFile) {
  TerminalRun run;
  const int master = posix_openpt(O_RDWR | O_NOCTTY);
  if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0) return run;
  const std::string terminalName = ptsname(master);
  const std::string path = ToUtf8(program), homeText = ToUtf8(home), out = ToUtf8(outputFile);
  const pid_t child = fork();
  if (child == 0) {
    setsid();
    const int terminal = open(terminalName.c_str(), O_RDWR);
    const int output = open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (terminal < 0 || output < 0) _exit(120);
    dup2(terminal, 0);
    dup2(output, 1);
    dup2(terminal, 2);
    unsetenv("JAVA_HOME");
    setenv("HOME", homeText.c_str(), 1);
    setenv("XDG_CONFIG_HOME", homeText.c_str(), 1);
    execl(path.c_str(), path.c_str(), static_cast<char*>(nullptr));
    _exit(121);
  }
  size_t answered = 0, prompts = 0;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  int status = 0;
  for (;;) {
    pollfd fd{master, POLLIN, 0};
    if (poll(&fd, 1, 50) > 0) {
      char buffer[512];
      const ssize_t got = read(master, buffer, sizeof(buffer));
      if (got > 0) run.shown.append(buffer, got);
    }
    for (size_t at = 0; (at = run.shown.find("JRE Pfad: ", at)) != std::string::npos; at += 10) {
      if (++prompts > answered && answered < answers.size()) {
        const std::string line = answers[answered++] + "\n";
        if (write(master, line.data(), line.size()) < 0) break;
      }
    }
    prompts = 0;
    if (waitpid(child, &status, WNOHANG) == child) break;
    if (std::chrono::steady_clock::now() > deadline) {
      kill(child, SIGKILL);
      waitpid(child, &status, 0);
      break;
    }
  }
  close(master);
  run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  run.output = ReadFile(outputFile);
  return run;
}

class JreNotFoundOnLinux : public ::testing::Test {
 protected:
  void SetUp() override {
    if (JavaClassesDir().empty() || !FileExists(JvmLibraryInHome(JdkHome()))) GTEST_SKIP() << "no JDK";
    // No installed runtime satisfies version 99, so every source fails.
    launcher_ = MakeApp(dir_ / u"app", u"app",
                        "[Java Runtime Environment]\nMain Class=launch.Probe\nMinimum Version=99\n"
                        "[Class Path]\nClass Path=" + ToUtf8(JavaClassesDir()) + "\n");
  }
  // A start without a terminal, with the same per-user settings.
  ProcessResult RunWithoutTerminal() {
    ProcessOptions options;
    options.environment[u"JAVA_HOME"] = std::nullopt;
    options.environment[u"HOME"] = options.environment[u"XDG_CONFIG_HOME"] = dir_ / u"home";
    return RunProgram(launcher_, {}, options);
  }

  TempDir dir_;
  std::u16string launcher_;
};

TEST_F(JreNotFoundOnLinux, AUsableAnswerLaunchesAndIsRemembered) {
  const TerminalRun run = RunOnTerminal(launcher_, {ToUtf8(dir_ / u"nothing"), ToUtf8(JdkHome())},
                                        dir_ / u"home", dir_ / u"out.txt");
  EXPECT_EQ(run.exitCode, 0) << run.shown << run.output;
  EXPECT_NE(run.shown.find("(minimum Version 99.0) von:"), std::string::npos) << run.shown;
  EXPECT_NE(run.shown.find("Kein JRE: " + ToUtf8(dir_ / u"nothing")), std::string::npos) << run.shown;
  EXPECT_EQ(run.output.rfind("argc=0\n", 0), 0u) << run.output;

  // The next start finds the folder without asking.
  const ProcessResult again = RunWithoutTerminal();
  EXPECT_EQ(again.exitCode, 0) << again.output << again.errors;
  EXPECT_EQ(again.output.rfind("argc=0\n", 0), 0u) << again.output;
}

TEST_F(JreNotFoundOnLinux, AnEmptyAnswerOrNoTerminalEndsWithMinusOne) {
  const TerminalRun run = RunOnTerminal(launcher_, {""}, dir_ / u"home", dir_ / u"out.txt");
  EXPECT_EQ(run.exitCode, ExitCodeMinusOne()) << run.shown << run.output;
  EXPECT_NE(run.shown.find("JRE Pfad: "), std::string::npos) << run.shown;
  EXPECT_EQ(run.output, "");

  // Nothing was remembered, and without a terminal the reason is printed.
  const ProcessResult again = RunWithoutTerminal();
  EXPECT_EQ(again.exitCode, ExitCodeMinusOne());
  EXPECT_EQ(again.output, kNoJreLine);

  // A vendor's own page replaces the default address.
  MakeApp(dir_ / u"app", u"app",
          "[Java Runtime Environment]\nMain Class=launch.Probe\nMinimum Version=99\n"
          "Download URL=https://example.com/java\n");
  const std::string vendor = RunWithoutTerminal().output;
  EXPECT_NE(vendor.find("von: https://example.com/java \n"), std::string::npos) << vendor;
}

}  // namespace
}  // namespace javelin::test
