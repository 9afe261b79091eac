// The terminal prompt that asks for a Java folder, in the launcher that finds
// no fitting runtime, on a pseudo-terminal as a user would answer it.
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
#include "ui/jre_not_found_dialog.h"

namespace javelin::test {
namespace {

const std::string kPrompt = "JRE Pfad: ";

size_t Count(const std::string& text, const std::string& part) {
  size_t count = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
  return count;
}

// Runs the launcher in `dir` with a new pseudo-terminal as its standard input
// and error, its output in dir/out.txt and the per-user settings in dir/home,
// answering each prompt in turn. Its exit code and what the terminal showed
// up to the last prompt (without the terminal's carriage returns).
std::pair<int, std::string> RunOnTerminal(const std::u16string& program,
                                          const std::vector<std::string>& answers,
                                          const std::u16string& dir) {
  const std::string path = ToUtf8(program), home = ToUtf8(dir + u"/home"), folder = ToUtf8(dir);
  int terminal = -1;
  const pid_t child = forkpty(&terminal, nullptr, nullptr, nullptr);
  if (child == 0) {
    dup2(open((folder + "/out.txt").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644), 1);
    if (chdir(folder.c_str()) != 0) _exit(122);
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
    if (++waited == 1200) kill(child, SIGKILL);  // after 60 s: the prompt did not end
  }
  close(terminal);
  shown.erase(std::remove(shown.begin(), shown.end(), '\r'), shown.end());
  return {WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status), shown};
}

TEST(JreNotFoundOnLinux, AsksOnATerminalRemembersTheAnswerAndExplainsWithoutOne) {
  if (JavaClassesDir().empty() || !FileExists(JvmLibraryInHome(JdkHome())))
    GTEST_SKIP() << "no JDK";
  const std::string jdk = ToUtf8(JdkHome());
  const struct {
    const char* name;
    std::vector<std::string>
        answers;      // "nothing" is a folder without a runtime, relative to the launcher's
    std::string url;  // the vendor's download address, if any
    bool service;     // remembered beside the launcher, not per user
  } cases[] = {
      {"an unusable folder, then the JDK between blanks",
       {"nothing", " \t" + jdk + "  "},
       "",
       false},
      {"the JDK in service mode", {jdk}, "", true},
      {"an empty answer", {""}, "https://example.com/java", false},
      {"an unusable folder, then the end of the input (Ctrl-D)", {"nothing", "\x04"}, "", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TempDir dir;
    // No installed runtime satisfies version 99, so every source fails.
    const std::u16string launcher =
        MakeApp(dir / u"app", u"app",
                "[Java Runtime Environment]\nMain Class=launch.Probe\nMinimum Version=99\n" +
                    (c.url.empty() ? "" : "Download URL=" + c.url + "\n") +
                    "[Class Path]\nClass Path=" + ToUtf8(JavaClassesDir()) + "\n" +
                    (c.service ? "[Application]\nApplication Type=service\n" : ""));
    const bool chosen = c.answers.back().find(jdk) != std::string::npos;
    const auto [exitCode, shown] = RunOnTerminal(launcher, c.answers, dir.path());
    const int expectedCode = chosen ? 0 : ExitCodeMinusOne();
    EXPECT_EQ(exitCode, expectedCode) << shown;
    const std::string url = c.url.empty() ? ToUtf8(kDefaultDownloadUrl) : c.url;
    EXPECT_NE(shown.find("(minimum Version 99.0) von:\n  " + url +
                         "\n\nWenn Sie ein JRE installiert haben, können "
                         "Sie unten danach suchen:\n" +
                         kPrompt),
              std::string::npos)
        << shown;
    // Each refused answer is named as an absolute folder before the next prompt.
    EXPECT_EQ(Count(shown, "Kein JRE: " + ToUtf8(dir / u"nothing") + "\n" + kPrompt),
              c.answers.size() - 1)
        << shown;
    // The program's output begins with "argc=0".
    EXPECT_EQ(ReadFile(dir / u"out.txt").substr(0, 7), chosen ? "argc=0\n" : "");
    // The folder is remembered in the configuration beside a service, else
    // in the user's own settings.
    EXPECT_EQ(ReadFile(dir / u"app/app.ini").find("JRE Path=" + jdk) != std::string::npos,
              c.service);

    // The next start without a terminal finds the remembered folder or says why it ends.
    ProcessOptions options;
    options.environment[u"JAVA_HOME"] = std::nullopt;
    options.environment[u"HOME"] = options.environment[u"XDG_CONFIG_HOME"] = dir / u"home";
    const ProcessResult again = RunProgram(launcher, {}, options);
    EXPECT_EQ(again.exitCode, expectedCode) << again.errors;
    EXPECT_EQ(
        chosen ? again.output.substr(0, 7) : again.output,
        chosen
            ? "argc=0\n"
            : "Error: Die Java-Laufzeitumgebung (JRE) wurde nicht gefunden. Bitte downloaden und "
              "installieren Sie eine JRE (minimum Version 99.0) von: " +
                  url + " \n");
  }
}

}  // namespace
}  // namespace javelin::test
