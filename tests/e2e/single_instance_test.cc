// Single-instance mode end to end with the test JVM (Linux, and Windows
// under Wine with the named mapping, event and thread message), and on
// Linux the take-over after a killed first instance with the machine's real
// JVM running launch.Probe: the first instance's main runs until the test
// releases it, and both JVMs log every forwarded call in the same file; the
// test JVM also logs the attaching and detaching of its threads.
#include <gtest/gtest.h>

#include <algorithm>

#ifndef _WIN32
#include <signal.h>

#include "modes/single_instance_posix.h"
#endif
#include "e2e/e2e_support.h"

namespace javelin::test {
namespace {

enum class Jvm { kTest, kReal };

// A single-instance application whose main waits for the release file, and
// the folder of the JVM's files.
struct SingleApp {
  std::u16string launcher, folder;
  std::u16string File(const char16_t* name) const { return folder + u"testjvm." + name; }
  void Release() const { WriteFile(File(u"release"), ""); }
  std::vector<std::string> Calls() const {
    std::vector<std::string> calls;
    for (const std::string& line : TestJvmLog(File(u"log"))) {
      if (line.rfind("secondaryMain", 0) == 0) calls.push_back(line);
    }
    std::sort(calls.begin(), calls.end());
    return calls;
  }
};

// `secondary` is the kind of secondaryMain ("int" with the test JVM, "void"
// or none), `exitCode` that of the System.exit after the release (none when
// negative; the test JVM's). The standard error stream goes to the file
// "testjvm.err".
SingleApp MakeSingleApp(Jvm jvm, const std::u16string& dir, const std::string& secondary, int exitCode = -1) {
  SingleApp app{u"", dir + kPathSeparator};
  std::u16string home = JdkHome(), classPath = JavaClassesDir();
  std::string mainClass = secondary == "void" ? "launch.Probe$VoidApp" : "launch.Probe";
  std::string parameters = "Virtual Machine Parameters=-Dprobe.dir=" + ToUtf8(dir) + " -Dprobe.action=wait\n";
  if (jvm == Jvm::kTest) {
    home = JoinPath(dir, u"home");
    classPath = JoinPath(dir, u"classes");
    mainClass = "com.example.App";
    parameters = "";
    const std::u16string library = InstallTestJvm(home);
    SetTestJvmControl(library, (secondary.empty() ? "" : "secondary=" + secondary + "\n") + "wait\n" +
                                   (exitCode < 0 ? "" : "exit=" + std::to_string(exitCode) + "\n"));
    app.folder = Beside(library, u"");
  }
  for (const char16_t* name : {u"ready", u"release", u"err"}) std::remove(ToUtf8(app.File(name)).c_str());
  WriteFile(app.File(u"log"), "");
  app.launcher = MakeApp(dir, u"app",
                         AppIni(home, mainClass, ToUtf8(classPath), parameters,
                                "Single Instance=yes\nError File=" + ToUtf8(app.File(u"err")) + "\n"));
  return app;
}

// Waits until the first instance has served a second instance for which it
// found no secondaryMain, so that the second waits for its end: the test
// JVM has detached the thread that served it, the real JVM has described
// the failed lookup.
bool WaitForSecondInstance(const SingleApp& app) {
  return WaitFor([&] {
    const std::vector<std::string> log = TestJvmLog(app.File(u"log"));
    return std::count(log.begin(), log.end(), "detach") > 0 ||
           ReadFile(app.File(u"err")).find("secondaryMain") != std::string::npos;
  });
}

class SingleInstanceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (TestJvmPath().empty()) GTEST_SKIP() << "no test JVM in this build";
  }
  TempDir dir_;
};

struct Forward {
  TextList arguments;
  int exitCode;       // -1 for the platform's -1
  TextList received;  // empty: no call
};

Forward Echo(const TextList& arguments, int exitCode) { return {arguments, exitCode, arguments}; }

// All second starts of a case run at once, each served with its own
// arguments and reply.
TEST_F(SingleInstanceTest, SecondStartsReachSecondaryMainOrEndWithTheFirstInstancesCode) {
  const std::u16string k515(515, u'x');  // with "ab": exactly 1040 bytes in the block
  std::vector<Forward> numbers = {Echo({u"a b", u"Gr\u00FC\u00DFe \u4E2D\u6587", u"\U0001F600"}, 7),
                                  {{}, 7, {u""}},
                                  Echo({k515, u"ab"}, 7),
                                  {{k515, u"abc"}, -1, {}}};
  for (int i = 20; i < 28; ++i) numbers.push_back(Echo({ToDecimal(i), u"payload"}, i));
  const struct {
    const char* name;
    std::string secondary;
    int exitCode;  // System.exit after the release; the first instance's exit
                   // code
    std::vector<Forward> forwards;
  } cases[] = {
      {"int", "int", 0, numbers},
      {"void", "void", 0, {Echo({u"x"}, 0), {{u"one", u"", u"two"}, 0, {u"one"}}, Echo({u"", u"two"}, 0)}},
      // Nothing replies: the waiting second instance ends with the first's
      // exit code.
      {"no secondaryMain", "", 5, {}},
  };
  int index = 0;
  for (const auto& test : cases) {
    SCOPED_TRACE(test.name);
    const SingleApp app = MakeSingleApp(Jvm::kTest, dir_ / ToDecimal(++index), test.secondary, test.exitCode);
    const auto first = StartInBackground(app.launcher, {u"first"});
    ASSERT_TRUE(WaitForFile(app.File(u"ready")));
    std::vector<std::shared_future<ProcessResult>> seconds;
    for (const Forward& forward : test.forwards) seconds.push_back(StartInBackground(app.launcher, forward.arguments));
    std::vector<std::string> expected;
    for (size_t i = 0; i < test.forwards.size(); ++i) {
      const Forward& forward = test.forwards[i];
      const ProcessResult& second = seconds[i].get();
      EXPECT_EQ(second.exitCode, forward.exitCode == -1 ? ExitCodeMinusOne() : forward.exitCode) << i;
      EXPECT_EQ(second.output + second.errors, "");
      if (!forward.received.empty()) expected.push_back(Call("secondaryMain", forward.received));
    }
    std::sort(expected.begin(), expected.end());
    if (test.forwards.empty()) {
      seconds.push_back(StartInBackground(app.launcher, {u"x"}));
      ASSERT_TRUE(WaitForSecondInstance(app));
    }
    app.Release();
    const ProcessResult& result = first.get();
    EXPECT_EQ(result.exitCode, test.exitCode) << result.errors;
    // main ran once, in the first instance.
    EXPECT_EQ(result.output.rfind(PrintedArguments({u"first"}), 0), 0u) << result.output;
    EXPECT_EQ(result.output.find("argc=", 1), std::string::npos) << result.output;
    if (test.forwards.empty()) {
      EXPECT_EQ(seconds.back().get().exitCode, test.exitCode);
    }
    EXPECT_EQ(app.Calls(), expected);
    const std::vector<std::string> log = TestJvmLog(app.File(u"log"));
    const long served = static_cast<long>(expected.size() + test.forwards.empty());
    EXPECT_EQ(std::count(log.begin(), log.end(), "attach"), served);
    EXPECT_EQ(std::count(log.begin(), log.end(), "detach"), served);
  }
}

// Copies of one application at two paths are two applications: each runs
// main.
TEST_F(SingleInstanceTest, CopiesAtTwoPathsEachRunTheApplication) {
  const SingleApp a = MakeSingleApp(Jvm::kTest, dir_ / u"a", "void"),
                  b = MakeSingleApp(Jvm::kTest, dir_ / u"b", "void");
  const auto first = StartInBackground(a.launcher, {u"a"});
  ASSERT_TRUE(WaitForFile(a.File(u"ready")));
  const auto second = StartInBackground(b.launcher, {u"b"});
  ASSERT_TRUE(WaitForFile(b.File(u"ready")));
  a.Release();
  b.Release();
  EXPECT_EQ(first.get().output.rfind(PrintedArguments({u"a"}), 0), 0u);
  EXPECT_EQ(second.get().output.rfind(PrintedArguments({u"b"}), 0), 0u);
}

#ifndef _WIN32
// With the real JVM: a waiting second instance ends with -1 when the first
// instance is killed with SIGKILL. The stale socket file does not keep the
// next start from becoming the first instance and serving forwards, and
// its orderly end removes both files.
TEST(SingleInstanceRealJvmTest, AfterAKilledFirstInstanceTheNextStartTakesOver) {
  if (!HaveJdk()) GTEST_SKIP() << "no JDK";
  TempDir dir_;
  SingleApp app = MakeSingleApp(Jvm::kReal, dir_.path(), "");
  const auto first = StartInBackground(app.launcher, {});
  ASSERT_TRUE(WaitForFile(app.File(u"ready")));
  const auto waiting = StartInBackground(app.launcher, {u"x"});
  ASSERT_TRUE(WaitForSecondInstance(app));
  ASSERT_EQ(kill(std::stoi(ReadFile(app.File(u"ready"))), SIGKILL), 0);
  EXPECT_EQ(first.get().exitCode, 128 + SIGKILL);
  EXPECT_EQ(waiting.get().exitCode, 255);

  InstanceRendezvous rendezvous;
  ASSERT_TRUE(FindInstanceRendezvous(app.launcher, rendezvous));
  EXPECT_TRUE(FileExists(FromUtf8(rendezvous.socketPath)));
  app = MakeSingleApp(Jvm::kReal, dir_.path(),
                      "void");  // the same executable, now with secondaryMain
  const auto next = StartInBackground(app.launcher, {u"next"});
  ASSERT_TRUE(WaitForFile(app.File(u"ready")));
  EXPECT_EQ(RunProgram(app.launcher, {u"after"}).exitCode, 0);
  app.Release();
  EXPECT_EQ(next.get().exitCode, 0);
  EXPECT_EQ(app.Calls(), std::vector<std::string>{Call("secondaryMain", {u"after"})});
  EXPECT_FALSE(FileExists(FromUtf8(rendezvous.socketPath)));
  EXPECT_FALSE(FileExists(FromUtf8(rendezvous.lockPath)));
}
#endif

}  // namespace
}  // namespace javelin::test
