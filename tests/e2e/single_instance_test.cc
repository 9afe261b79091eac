// Single-instance mode end to end with the test JVM (Linux, and Windows
// under Wine with the named mapping, event and thread message): the first
// instance's main runs until the test releases it, and the test JVM logs
// every forwarded call and the attaching and detaching of its threads.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <memory>

#include "base/file_system.h"
#include "e2e/background_start.h"
#include "e2e/e2e_support.h"
#include "modes/single_instance.h"

namespace javelin::test {
namespace {

struct Forward {
  TextList arguments;
  int exitCode;       // -1 for the platform's -1
  TextList received;  // {u"-"}: no call
};

// Second instances started together: threads of this process that hand over
// their arguments at the same moment, closer together than processes ever
// start. Returns their exit codes.
std::vector<int> ForwardTogether(const std::u16string& launcher, const std::vector<Forward>& forwards) {
  std::vector<int> codes(forwards.size(), 1000);
  std::atomic<size_t> arrived{0};
  std::vector<std::thread> threads;
  for (size_t i = 0; i < forwards.size(); ++i) {
    threads.emplace_back([&, i] {
      ++arrived;
      while (arrived < forwards.size()) std::this_thread::yield();
      auto guard = InstanceGuard::SetupSingleInstance(launcher, forwards[i].arguments, {});
      if (guard && guard->role() == InstanceGuard::Role::kSecond) codes[i] = guard->WaitForFirstInstance();
    });
  }
  for (std::thread& thread : threads) thread.join();
  return codes;
}

TEST(SingleInstanceTestJvm, SecondStartsReachSecondaryMainOrEndWithTheFirstInstancesCode) {
  if (TestJvmPath().empty()) GTEST_SKIP() << "no test JVM in this build";
  const std::u16string k515(515, u'x');  // with "ab": exactly 1040 bytes in the block
  std::vector<Forward> together;
  for (int i = 21; i < 29; ++i) together.push_back({{ToDecimal(i), u"a"}, i, {ToDecimal(i), u"a"}});
  const struct {
    const char* name;
    std::string control;
    std::string jreLines;
    std::vector<Forward> forwards;
    int firstExitCode;
    bool detaches;
    bool together = false;
  } cases[] = {
      {"int", "secondary=int\nwait\n", "",
       {{{u"a b", u"Gr\u00FC\u00DFe", u"\U0001F600"}, 7, {u"a b", u"Gr\u00FC\u00DFe", u"\U0001F600"}},
        {{u"42"}, 42, {u"42"}},
        {{}, 7, {u""}},
        {{k515, u"ab"}, 7, {k515, u"ab"}},
        {{k515, u"abc"}, -1, {u"-"}}},
       0, true},
      {"together", "secondary=int\nwait\n", "", together, 0, true, true},
      {"void", "secondary=void\nwait\n", "",
       {{{u"x"}, 0, {u"x"}}, {{u"one", u"", u"two"}, 0, {u"one"}}, {{u"", u"two"}, 0, {u"", u"two"}}}, 0, true},
      // The worker stays attached; System.exit ends the first instance.
      {"favor_ibm", "secondary=int\nwait\nexit=3\n", "VM Provider=favor_ibm\n", {{{u"9"}, 9, {u"9"}}}, 3, false},
      // Nothing replies: the waiting second instance ends with the first's
      // exit code.
      {"no secondaryMain", "wait\nexit=5\n", "", {}, 5, true},
  };
  for (const auto& test : cases) {
    SCOPED_TRACE(test.name);
    TempDir dir;
    const std::u16string library = InstallTestJvm(dir / u"home");
    SetTestJvmControl(library, test.control);
    const std::u16string launcher =
        MakeApp(dir / u"app", u"app",
                "[Java Runtime Environment]\nJRE Path=" + ToUtf8(dir / u"home") + "\nMain Class=com.example.App\n" +
                    test.jreLines + "[Class Path]\nClass Path=" + ToUtf8(dir / u"classes") +
                    "\n[Application]\nSingle Instance=yes\n");
    const std::u16string folder = library.substr(0, library.rfind(kPathSeparator) + 1);  // the control files
    BackgroundStart first(launcher, {u"first"});
    ASSERT_TRUE(WaitForFile(folder + u"testjvm.ready"));

    const std::vector<int> codes = test.together ? ForwardTogether(launcher, test.forwards) : std::vector<int>();
    std::vector<std::string> expected;
    for (size_t i = 0; i < test.forwards.size(); ++i) {
      const Forward& forward = test.forwards[i];
      if (test.together) {
        EXPECT_EQ(codes[i], forward.exitCode);
      } else {
        const ProcessResult second = RunProgram(launcher, forward.arguments);
        EXPECT_EQ(second.exitCode, forward.exitCode == -1 ? ExitCodeMinusOne() : forward.exitCode)
            << second.output << second.errors;
        EXPECT_EQ(second.output, "");
      }
      if (forward.received == TextList{u"-"}) continue;
      std::string call = "secondaryMain " + PrintedArguments(forward.received);
      call.pop_back();
      std::replace(call.begin(), call.end(), '\n', ' ');
      expected.insert(expected.end(), {"attach", call});
      if (test.detaches) expected.push_back("detach");
    }
    std::unique_ptr<BackgroundStart> waiting;
    if (test.forwards.empty()) {
      // Its request has been served (the lookup of secondaryMain) when the
      // worker detaches; from then on it waits.
      waiting = std::make_unique<BackgroundStart>(launcher, TextList{u"x"});
      expected.insert(expected.end(), {"attach", "detach"});
      for (int i = 0; i < 6000; ++i) {
        const std::vector<std::string> lines = TestJvmLog(library);
        if (std::count(lines.begin(), lines.end(), "detach") > 0) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
      }
    }
    WriteFile(folder + u"testjvm.release", "");
    const ProcessResult& result = WithUnixLineEnds(first.Finish());
    EXPECT_EQ(result.exitCode, test.firstExitCode) << result.errors;
    EXPECT_EQ(result.output, PrintedArguments({u"first"}));  // main ran once
    EXPECT_EQ(waiting ? waiting->Finish().exitCode : test.firstExitCode, test.firstExitCode);

    std::vector<std::string> calls;
    for (const std::string& line : TestJvmLog(library)) {
      if (line == "attach" || line == "detach" || line.rfind("secondaryMain", 0) == 0) calls.push_back(line);
    }
    std::sort(calls.begin(), calls.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(calls, expected);
  }
}

}  // namespace
}  // namespace javelin::test
