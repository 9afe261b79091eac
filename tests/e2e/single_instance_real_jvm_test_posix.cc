// Single-instance mode end to end with the machine's real JVM: the programs
// of tests/e2e/java/single run until the test releases them and record
// every main and secondaryMain call in their folder.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <thread>

#include "e2e/background_start.h"
#include "e2e/e2e_support.h"
#include "modes/single_instance_posix.h"

namespace javelin::test {
namespace {

// Waits until a second instance of `launcher` is connected to the first
// instance: the first instance's end of the connection carries the socket's
// path in the kernel's table of Unix sockets, beside the listening socket.
bool WaitForSecondInstance(const std::u16string& launcher) {
  InstanceRendezvous rendezvous;
  if (!FindInstanceRendezvous(launcher, rendezvous)) return false;
  const std::string suffix = " " + rendezvous.socketPath + "\n";
  for (int i = 0; i < 6000; ++i) {
    const std::string table = ReadFile(u"/proc/net/unix");
    size_t sockets = 0;
    for (size_t at = table.find(suffix); at != std::string::npos; at = table.find(suffix, at + 1)) ++sockets;
    if (sockets >= 2) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return false;
}

// A call as the Java programs record it.
std::string Call(const std::string& method, const TextList& arguments) {
  std::string line = method + " argc=" + std::to_string(arguments.size());
  for (const std::u16string& argument : arguments) {
    line += " arg=";
    for (size_t i = 0; i < argument.size(); ++i) {
      char unit[8];
      snprintf(unit, sizeof unit, i == 0 ? "%04X" : " %04X", static_cast<unsigned>(argument[i]));
      line += unit;
    }
  }
  return line;
}

std::vector<std::string> SortedLines(const std::string& text) {
  std::vector<std::string> lines;
  for (size_t start = 0, end; start < text.size(); start = end + 1) {
    end = text.find('\n', start);
    lines.push_back(text.substr(start, end - start));
  }
  std::sort(lines.begin(), lines.end());
  return lines;
}

class SingleInstanceRealJvmTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (JavaClassesDir().empty()) GTEST_SKIP() << "no JDK";
  }

  // The launcher `folder`/app running single.<mainClass>, recording into
  // `folder`; `more` are further lines of [Application].
  std::u16string App(const std::u16string& folder, const std::string& mainClass, const std::string& more = "",
                     const std::string& vmParameters = "") {
    MakeDirectories(folder);
    return MakeApp(folder, u"app",
                   "[Java Runtime Environment]\nJRE Path=" + ToUtf8(JdkHome()) + "\nMain Class=single." + mainClass +
                       "\nVirtual Machine Parameters=-Dsingle.dir=" + ToUtf8(folder) + " " + vmParameters +
                       "\n[Class Path]\nClass Path=" + ToUtf8(JavaClassesDir()) + "\n[Application]\n" +
                       (more.empty() ? "Single Instance=yes\n" : more));
  }

  static std::u16string Ready(const std::u16string& folder) { return JoinPath(folder, u"ready"); }
  static void Release(const std::u16string& folder) { WriteFile(JoinPath(folder, u"release"), ""); }
  static std::vector<std::string> Calls(const std::u16string& folder) {
    return SortedLines(ReadFile(JoinPath(folder, u"calls.txt")));
  }

  TempDir dir_;
};

TEST_F(SingleInstanceRealJvmTest, SecondStartsHandTheirArgumentsToTheRunningApplication) {
  const std::u16string k515(515, u'x');  // with "ab": exactly 1040 bytes in the block
  const struct {
    const char* mainClass;
    TextList arguments;
    int exitCode;
    TextList received;  // {u"-"}: no call
  } cases[] = {
      {"VoidApp", {u"plain", u"two  blanks", u"Gr\u00FC\u00DFe \u4E2D\u6587", u"\U0001F600"}, 0,
       {u"plain", u"two  blanks", u"Gr\u00FC\u00DFe \u4E2D\u6587", u"\U0001F600"}},
      {"VoidApp", {}, 0, {u""}},
      {"VoidApp", {u"one", u"", u"two"}, 0, {u"one"}},
      {"VoidApp", {u"", u"two"}, 0, {u"", u"two"}},
      {"VoidApp", {k515, u"ab"}, 0, {k515, u"ab"}},
      {"VoidApp", {k515, u"abc"}, 255, {u"-"}},
      {"IntApp", {u"x"}, 7, {u"x"}},
      {"IntApp", {u"42", u"y"}, 42, {u"42", u"y"}},
  };
  for (const char* mainClass : {"VoidApp", "IntApp"}) {
    SCOPED_TRACE(mainClass);
    const std::u16string folder = dir_ / FromUtf8(mainClass);
    const std::u16string launcher = App(folder, mainClass);
    BackgroundStart first(launcher, {u"first"});
    ASSERT_TRUE(WaitForFile(Ready(folder)));
    std::vector<std::string> expected = {Call("main", {u"first"})};
    for (const auto& test : cases) {
      if (std::string(test.mainClass) != mainClass) continue;
      const ProcessResult second = RunProgram(launcher, test.arguments);
      EXPECT_EQ(second.exitCode, test.exitCode) << test.arguments.size() << second.output << second.errors;
      EXPECT_EQ(second.output + second.errors, "");
      if (test.received != TextList{u"-"}) expected.push_back(Call("secondary", test.received));
    }
    Release(folder);
    const ProcessResult& result = first.Finish();
    EXPECT_EQ(result.exitCode, 0) << result.output << result.errors;
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(Calls(folder), expected);  // main ran once, in the first instance
  }
}

TEST_F(SingleInstanceRealJvmTest, SecondStartsStartedTogetherAreEachServedWithTheirOwnArguments) {
  const std::u16string folder = dir_ / u"app";
  const std::u16string launcher = App(folder, "IntApp");
  BackgroundStart first(launcher, {});
  ASSERT_TRUE(WaitForFile(Ready(folder)));
  std::vector<std::unique_ptr<BackgroundStart>> seconds;
  std::vector<std::string> expected = {Call("main", {})};
  for (int i = 0; i < 6; ++i) {
    const TextList arguments = {FromUtf8(std::to_string(20 + i)), u"payload " + FromUtf8(std::to_string(i))};
    seconds.push_back(std::make_unique<BackgroundStart>(launcher, arguments));
    expected.push_back(Call("secondary", arguments));
  }
  for (int i = 0; i < 6; ++i) EXPECT_EQ(seconds[i]->Finish().exitCode, 20 + i);
  Release(folder);
  EXPECT_EQ(first.Finish().exitCode, 0);
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(Calls(folder), expected);
}

// Without a secondaryMain nothing replies: the second instance ends with the
// first instance's exit code, here that of System.exit.
TEST_F(SingleInstanceRealJvmTest, WithoutSecondaryMainTheSecondEndsWithTheFirstInstancesExitCode) {
  const std::u16string folder = dir_ / u"app";
  const std::u16string launcher = App(folder, "PlainApp", "", "-Dsingle.exit=5");
  BackgroundStart first(launcher, {});
  ASSERT_TRUE(WaitForFile(Ready(folder)));
  BackgroundStart second(launcher, {u"x"});
  ASSERT_TRUE(WaitForSecondInstance(launcher));
  Release(folder);
  EXPECT_EQ(first.Finish().exitCode, 5);
  EXPECT_EQ(second.Finish().exitCode, 5);
  EXPECT_EQ(Calls(folder), std::vector<std::string>{Call("main", {})});
}

// A first instance killed with SIGKILL leaves a stale socket file: a waiting
// second instance ends with -1, and the next start becomes the first
// instance and serves forwards.
TEST_F(SingleInstanceRealJvmTest, AKilledFirstInstanceBlocksNoLaterStart) {
  const std::u16string folder = dir_ / u"app";
  std::u16string launcher = App(folder, "PlainApp");
  BackgroundStart killed(launcher, {});
  ASSERT_TRUE(WaitForFile(Ready(folder)));
  BackgroundStart waiting(launcher, {u"x"});
  ASSERT_TRUE(WaitForSecondInstance(launcher));
  ASSERT_EQ(kill(std::stoi(ReadFile(Ready(folder))), SIGKILL), 0);
  EXPECT_EQ(killed.Finish().exitCode, 128 + SIGKILL);
  EXPECT_EQ(waiting.Finish().exitCode, 255);

  InstanceRendezvous rendezvous;
  ASSERT_TRUE(FindInstanceRendezvous(launcher, rendezvous));
  EXPECT_TRUE(FileExists(FromUtf8(rendezvous.socketPath)));
  std::remove(ToUtf8(Ready(folder)).c_str());
  launcher = App(folder, "VoidApp");  // the same executable, now with secondaryMain
  BackgroundStart next(launcher, {u"next"});
  ASSERT_TRUE(WaitForFile(Ready(folder)));
  EXPECT_EQ(RunProgram(launcher, {u"after"}).exitCode, 0);
  Release(folder);
  EXPECT_EQ(next.Finish().exitCode, 0);
  EXPECT_EQ(Calls(folder), (std::vector<std::string>{Call("main", {}), Call("main", {u"next"}),
                                                      Call("secondary", {u"after"})}));
  // An orderly end removes both files.
  EXPECT_FALSE(FileExists(FromUtf8(rendezvous.socketPath)));
  EXPECT_FALSE(FileExists(FromUtf8(rendezvous.lockPath)));
}

// Two starts that both run main: copies at different paths, "Yes" instead
// of "yes", and a lock file that belongs to another user.
TEST_F(SingleInstanceRealJvmTest, IndependentStartsEachRunTheApplication) {
  const struct {
    const char* name;
    std::string applicationLines;
    bool foreignLock;
    bool twoCopies;
  } cases[] = {
      {"two-copies", "", false, true},
      {"Yes", "Single Instance=Yes\n", false, false},
      {"foreign-lock", "", true, false},
  };
  for (const auto& test : cases) {
    SCOPED_TRACE(test.name);
    if (test.foreignLock && geteuid() != 0) continue;  // only root can give a file away
    const std::u16string folderA = dir_ / FromUtf8(std::string(test.name) + "/a");
    const std::u16string folderB = test.twoCopies ? dir_ / FromUtf8(std::string(test.name) + "/b") : folderA;
    const std::u16string launcherA = App(folderA, "VoidApp", test.applicationLines);
    const std::u16string launcherB = test.twoCopies ? App(folderB, "VoidApp", test.applicationLines) : launcherA;
    if (test.foreignLock) {
      InstanceRendezvous rendezvous;
      ASSERT_TRUE(FindInstanceRendezvous(launcherA, rendezvous));
      WriteFile(FromUtf8(rendezvous.lockPath), "");
      ASSERT_EQ(chown(rendezvous.lockPath.c_str(), 12345, 12345), 0);
    }
    BackgroundStart a(launcherA, {u"a"});
    ASSERT_TRUE(WaitForFile(Ready(folderA)));
    std::remove(ToUtf8(Ready(folderA)).c_str());
    BackgroundStart b(launcherB, {u"b"});
    ASSERT_TRUE(WaitForFile(Ready(folderB)));
    Release(folderA);
    Release(folderB);
    EXPECT_EQ(a.Finish().exitCode, 0);
    EXPECT_EQ(b.Finish().exitCode, 0);
    const std::vector<std::string> calls = SortedLines(ReadFile(JoinPath(folderA, u"calls.txt")) +
                                                       (test.twoCopies ? ReadFile(JoinPath(folderB, u"calls.txt")) : ""));
    EXPECT_EQ(calls, (std::vector<std::string>{Call("main", {u"a"}), Call("main", {u"b"})}));
    if (test.foreignLock) {
      InstanceRendezvous rendezvous;
      FindInstanceRendezvous(launcherA, rendezvous);
      std::remove(rendezvous.lockPath.c_str());
    }
  }
}

}  // namespace
}  // namespace javelin::test
