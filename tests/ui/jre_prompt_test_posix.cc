// The terminal prompt that asks for a Java folder, driven through a
// pseudo-terminal as a user would answer it.
#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <future>
#include <string>

#include "jre/runtime_fixture.h"
#include "support/test_support.h"
#include "ui/jre_prompt_posix.h"

namespace javelin {
namespace {

// A pseudo-terminal: the prompt reads and writes the terminal side, the test
// plays the user on the other.
class PseudoTerminal {
 public:
  PseudoTerminal() {
    master_ = posix_openpt(O_RDWR | O_NOCTTY);
    if (master_ >= 0 && grantpt(master_) == 0 && unlockpt(master_) == 0) {
      terminal_ = open(ptsname(master_), O_RDWR | O_NOCTTY);
    }
    termios settings{};
    if (terminal_ >= 0 && tcgetattr(terminal_, &settings) == 0) {
      settings.c_oflag &= ~ONLCR;  // line ends as written
      tcsetattr(terminal_, TCSANOW, &settings);
    }
  }
  ~PseudoTerminal() {
    if (terminal_ >= 0) close(terminal_);
    if (master_ >= 0) close(master_);
  }
  bool ok() const { return terminal_ >= 0; }
  int terminal() const { return terminal_; }
  void Type(const std::string& text) { ASSERT_EQ(write(master_, text.data(), text.size()), (ssize_t)text.size()); }
  void EndInput() { Type("\x04"); }  // Ctrl-D at the start of a line
  // Everything shown until `marker` appears (or 10 s have passed).
  std::string ReadUntil(const std::string& marker) {
    for (int waited = 0; shown_.find(marker, consumed_) == std::string::npos && waited < 100;) {
      pollfd fd{master_, POLLIN, 0};
      if (poll(&fd, 1, 100) <= 0) {
        ++waited;
        continue;
      }
      char buffer[512];
      const ssize_t got = read(master_, buffer, sizeof(buffer));
      if (got <= 0) break;
      shown_.append(buffer, got);
    }
    const size_t end = shown_.find(marker, consumed_);
    const size_t stop = end == std::string::npos ? shown_.size() : end + marker.size();
    std::string part = shown_.substr(consumed_, stop - consumed_);
    consumed_ = stop;
    return part;
  }

 private:
  int master_ = -1;
  int terminal_ = -1;
  std::string shown_;
  size_t consumed_ = 0;
};

TEST(JrePrompt, AsksUntilTheFolderHoldsALibraryOfTheRequiredKind) {
  test::TempDir dir;
  const std::u16string clientOnly = test::MakeRuntime(dir / u"client", {JvmFlavor::kClient}, false);
  const std::u16string server = test::MakeRuntime(dir / u"server", {JvmFlavor::kServer});
  const std::string root = ToUtf8(dir.path());
  const std::string cwd = ToUtf8(dir.path());

  const struct {
    const char* name;
    int32_t jvmType;
    std::vector<std::string> answers;  // typed one after the other; "^D" ends the input
    std::u16string home;               // the expected choice; empty: cancelled
    int refusals;                      // how many answers were refused
  } cases[] = {
      {"usable folder", 0, {root + "/server"}, server, 0},
      {"trailing slash kept single", 0, {root + "/server/"}, server, 0},
      {"client only without marker accepted", 0, {root + "/client"}, clientOnly, 0},
      {"server required refuses client", 1, {root + "/client", root + "/server"}, server, 1},
      {"unusable then usable", 0, {root + "/none", "  " + root + "/server  "}, server, 1},
      {"relative to the current folder", 0, {"server"}, server, 0},
      {"empty answer cancels", 0, {""}, u"", 0},
      {"end of input cancels", 0, {"^D"}, u"", 0},
      {"refused then end of input", 1, {root + "/client", "^D"}, u"", 1},
  };
  char previous[4096];
  ASSERT_NE(getcwd(previous, sizeof(previous)), nullptr);
  ASSERT_EQ(chdir(cwd.c_str()), 0);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    PseudoTerminal pty;
    ASSERT_TRUE(pty.ok());
    JreDialogRequest request;
    request.message = u"Die Java-Laufzeitumgebung (JRE) wurde nicht gefunden. (Version 99) von:";
    request.jvmType = c.jvmType;
    auto prompt = std::async(std::launch::async,
                             [&] { return PromptForJre(request, pty.terminal(), pty.terminal()); });
    const std::string intro = pty.ReadUntil("JRE Pfad: ");
    EXPECT_NE(intro.find("(Version 99) von:\n  https://adoptium.net/\n"), std::string::npos) << intro;
    EXPECT_NE(intro.find("können Sie unten danach suchen:"), std::string::npos) << intro;
    int refusals = 0;
    for (const std::string& answer : c.answers) {
      answer == "^D" ? pty.EndInput() : pty.Type(answer + "\n");
      if (&answer != &c.answers.back()) {
        const std::string shown = pty.ReadUntil("JRE Pfad: ");
        if (shown.find("Kein JRE: ") != std::string::npos) ++refusals;
      }
    }
    ASSERT_EQ(prompt.wait_for(std::chrono::seconds(10)), std::future_status::ready);
    const std::optional<JreDialogChoice> choice = prompt.get();
    EXPECT_EQ(refusals, c.refusals);
    if (c.home.empty()) {
      EXPECT_FALSE(choice.has_value());
    } else {
      ASSERT_TRUE(choice.has_value());
      EXPECT_EQ(ToUtf8(choice->javaHome), ToUtf8(c.home));
      EXPECT_EQ(ToUtf8(choice->jvmLibraryPath),
                ToUtf8(test::LibraryIn(c.home, c.jvmType == 1 || c.home == server
                                                   ? JvmFlavor::kServer
                                                   : JvmFlavor::kClient)));
    }
  }
  ASSERT_EQ(chdir(previous), 0);
}

TEST(JrePrompt, ShowsTheConfiguredDownloadAddress) {
  PseudoTerminal pty;
  ASSERT_TRUE(pty.ok());
  JreDialogRequest request;
  request.message = u"Bitte installieren:";
  request.downloadUrl = u"https://example.com/java";
  auto prompt = std::async(std::launch::async,
                           [&] { return PromptForJre(request, pty.terminal(), pty.terminal()); });
  EXPECT_NE(pty.ReadUntil("JRE Pfad: ").find("Bitte installieren:\n  https://example.com/java\n"),
            std::string::npos);
  pty.Type("\n");
  EXPECT_FALSE(prompt.get().has_value());
}

}  // namespace
}  // namespace javelin
