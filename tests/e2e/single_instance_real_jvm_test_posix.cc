// Single-instance mode end to end with the machine's real JVM: the programs
// of tests/e2e/java/single run until the test releases them and record
// every main and secondaryMain call in their folder.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <memory>
#include <sstream>

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

// A call as the Java programs record it: "main argc=1 arg=0061".
std::string Call(const std::string& method, const TextList& arguments) {
  std::string line = method + " " + PrintedArguments(arguments);
  line.pop_back();
  std::replace(line.begin(), line.end(), '\n', ' ');
  return line;
}

std::vector<std::string> Sorted(std::vector<std::string> lines) {
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
  static std::u16string App(const std::u16string& folder, const std::string& mainClass, const std::string& more = "",
                            const std::string& vmParameters = "") {
    MakeDirectories(folder);
    std::remove(ToUtf8(Ready(folder)).c_str());
    return MakeApp(folder, u"app",
                   "[Java Runtime Environment]\nJRE Path=" + ToUtf8(JdkHome()) + "\nMain Class=single." + mainClass +
                       "\nVirtual Machine Parameters=-Dsingle.dir=" + ToUtf8(folder) + " " + vmParameters +
                       "\n[Class Path]\nClass Path=" + ToUtf8(JavaClassesDir()) + "\n[Application]\n" +
                       (more.empty() ? "Single Instance=yes\n" : more));
  }

  static std::u16string Ready(const std::u16string& folder) { return JoinPath(folder, u"ready"); }
  static void Release(const std::u16string& folder) { WriteFile(JoinPath(folder, u"release"), ""); }
  static std::vector<std::string> Calls(const std::u16string& folder) {
    std::vector<std::string> lines;
    std::istringstream text(ReadFile(JoinPath(folder, u"calls.txt")));
    for (std::string line; std::getline(text, line);) lines.push_back(line);
    return Sorted(lines);
  }

  TempDir dir_;
};

// All second starts of an application run at once, each served with its
// own arguments and reply.
TEST_F(SingleInstanceRealJvmTest, SecondStartsHandTheirArgumentsToTheRunningApplication) {
  const std::u16string k515(515, u'x');  // with "ab": exactly 1040 bytes in the block
  struct Forward {
    const char* mainClass;
    TextList arguments;
    int exitCode;
    TextList received;  // {u"-"}: no call
  };
  std::vector<Forward> forwards = {
      {"VoidApp", {u"plain", u"two  blanks", u"Gr\u00FC\u00DFe \u4E2D\u6587", u"\U0001F600"}, 0,
       {u"plain", u"two  blanks", u"Gr\u00FC\u00DFe \u4E2D\u6587", u"\U0001F600"}},
      {"VoidApp", {}, 0, {u""}},
      {"VoidApp", {u"one", u"", u"two"}, 0, {u"one"}},
      {"VoidApp", {u"", u"two"}, 0, {u"", u"two"}},
      {"VoidApp", {k515, u"ab"}, 0, {k515, u"ab"}},
      {"VoidApp", {k515, u"abc"}, 255, {u"-"}},
      {"IntApp", {u"x"}, 7, {u"x"}},
  };
  for (int i = 20; i < 25; ++i) {
    const TextList arguments = {ToDecimal(i), u"payload " + ToDecimal(i)};
    forwards.push_back({"IntApp", arguments, i, arguments});
  }
  for (const char* mainClass : {"VoidApp", "IntApp"}) {
    SCOPED_TRACE(mainClass);
    const std::u16string folder = dir_ / FromUtf8(mainClass);
    const std::u16string launcher = App(folder, mainClass);
    BackgroundStart first(launcher, {u"first"});
    ASSERT_TRUE(WaitForFile(Ready(folder)));
    std::vector<std::string> expected = {Call("main", {u"first"})};
    std::vector<std::pair<const Forward*, std::unique_ptr<BackgroundStart>>> seconds;
    for (const Forward& forward : forwards) {
      if (std::string(forward.mainClass) != mainClass) continue;
      seconds.emplace_back(&forward, std::make_unique<BackgroundStart>(launcher, forward.arguments));
      if (forward.received != TextList{u"-"}) expected.push_back(Call("secondary", forward.received));
    }
    for (auto& [forward, second] : seconds) {
      const ProcessResult& result = second->Finish();
      EXPECT_EQ(result.exitCode, forward->exitCode) << forward->arguments.size() << result.output << result.errors;
      EXPECT_EQ(result.output + result.errors, "");
    }
    Release(folder);
    EXPECT_EQ(first.Finish().exitCode, 0);
    EXPECT_EQ(Calls(folder), Sorted(expected));  // main ran once, in the first instance
  }
}

// Without a secondaryMain nothing replies: a waiting second instance ends
// with the first instance's exit code (here that of System.exit), or with
// -1 when the first instance is killed with SIGKILL. Neither the orderly
// end nor the stale socket file of the killed one keeps the next start from
// becoming the first instance and serving forwards.
TEST_F(SingleInstanceRealJvmTest, WithoutSecondaryMainTheSecondWaitsForTheFirstInstancesEnd) {
  for (const bool killed : {false, true}) {
    SCOPED_TRACE(killed ? "killed" : "System.exit(5)");
    const std::u16string folder = dir_ / (killed ? u"killed" : u"exit");
    std::u16string launcher = App(folder, "PlainApp", "", "-Dsingle.exit=5");
    BackgroundStart first(launcher, {});
    ASSERT_TRUE(WaitForFile(Ready(folder)));
    BackgroundStart waiting(launcher, {u"x"});
    ASSERT_TRUE(WaitForSecondInstance(launcher));
    if (killed) {
      ASSERT_EQ(kill(std::stoi(ReadFile(Ready(folder))), SIGKILL), 0);
    } else {
      Release(folder);
    }
    EXPECT_EQ(first.Finish().exitCode, killed ? 128 + SIGKILL : 5);
    EXPECT_EQ(waiting.Finish().exitCode, killed ? 255 : 5);

    InstanceRendezvous rendezvous;
    ASSERT_TRUE(FindInstanceRendezvous(launcher, rendezvous));
    EXPECT_EQ(FileExists(FromUtf8(rendezvous.socketPath)), killed);
    std::remove(ToUtf8(JoinPath(folder, u"release")).c_str());
    launcher = App(folder, "VoidApp");  // the same executable, now with secondaryMain
    BackgroundStart next(launcher, {u"next"});
    ASSERT_TRUE(WaitForFile(Ready(folder)));
    EXPECT_EQ(RunProgram(launcher, {u"after"}).exitCode, 0);
    Release(folder);
    EXPECT_EQ(next.Finish().exitCode, 0);
    EXPECT_EQ(Calls(folder), Sorted({Call("main", {}), Call("main", {u"next"}), Call("secondary", {u"after"})}));
    // An orderly end removes both files.
    EXPECT_FALSE(FileExists(FromUtf8(rendezvous.socketPath)));
    EXPECT_FALSE(FileExists(FromUtf8(rendezvous.lockPath)));
  }
}

// Two starts that both run main: copies at different paths, "Yes" instead
// of "yes", and a lock file that belongs to another user (only root can give
// a file away).
TEST_F(SingleInstanceRealJvmTest, IndependentStartsEachRunTheApplication) {
  for (const std::string name : {"two-copies", "Yes", "foreign-lock"}) {
    SCOPED_TRACE(name);
    if (name == "foreign-lock" && geteuid() != 0) continue;
    const std::u16string folders[] = {dir_ / FromUtf8(name + "/a"),
                                      dir_ / FromUtf8(name + (name == "two-copies" ? "/b" : "/a"))};
    const std::string more = name == "Yes" ? "Single Instance=Yes\n" : "";
    const std::u16string launchers[] = {App(folders[0], "VoidApp", more), App(folders[1], "VoidApp", more)};
    InstanceRendezvous rendezvous;
    ASSERT_TRUE(FindInstanceRendezvous(launchers[0], rendezvous));
    if (name == "foreign-lock") {
      WriteFile(FromUtf8(rendezvous.lockPath), "");
      ASSERT_EQ(chown(rendezvous.lockPath.c_str(), 12345, 12345), 0);
    }
    BackgroundStart a(launchers[0], {u"a"});
    ASSERT_TRUE(WaitForFile(Ready(folders[0])));
    std::remove(ToUtf8(Ready(folders[0])).c_str());
    BackgroundStart b(launchers[1], {u"b"});
    ASSERT_TRUE(WaitForFile(Ready(folders[1])));
    for (const std::u16string& folder : folders) Release(folder);
    EXPECT_EQ(a.Finish().exitCode, 0);
    EXPECT_EQ(b.Finish().exitCode, 0);
    std::vector<std::string> calls = Calls(folders[0]);
    if (folders[1] != folders[0]) calls.push_back(Calls(folders[1]).at(0));
    EXPECT_EQ(Sorted(calls), (std::vector<std::string>{Call("main", {u"a"}), Call("main", {u"b"})}));
    std::remove(rendezvous.lockPath.c_str());
  }
}

}  // namespace
}  // namespace javelin::test
