// Single-instance mode end to end with the test JVM (Linux, and Windows
// under Wine with the named mapping, event and thread message): the first
// instance's main runs until the test releases it, and the test JVM logs
// every forwarded call and the attaching and detaching of its threads.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <memory>
#include <thread>

#include "base/file_system.h"
#include "e2e/background_start.h"
#include "e2e/e2e_support.h"
#include "modes/single_instance.h"

namespace javelin::test {
namespace {

std::string Logged(const TextList& arguments) {
  std::string line = "secondaryMain argc=" + std::to_string(arguments.size());
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

TEST(SingleInstanceTestJvm, SecondStartsReachSecondaryMainOrEndWithTheFirstInstancesCode) {
  if (TestJvmPath().empty()) GTEST_SKIP() << "no test JVM in this build";
  const std::u16string k515(515, u'x');  // with "ab": exactly 1040 bytes in the block
  struct Forward {
    TextList arguments;
    int exitCode;       // -1 for the platform's -1
    TextList received;  // {u"-"}: no call
  };
  const struct {
    const char* name;
    std::string control;
    std::string jreLines;
    std::vector<Forward> forwards;
    int firstExitCode;
    bool detaches;
    bool together = false;  // the forwards are handed over at the same moment
  } cases[] = {
      {"int",
       "secondary=int\nwait\n",
       "",
       {{{u"a b", u"Gr\u00FC\u00DFe", u"\U0001F600"}, 7, {u"a b", u"Gr\u00FC\u00DFe", u"\U0001F600"}},
        {{u"42"}, 42, {u"42"}},
        {{}, 7, {u""}},
        {{k515, u"ab"}, 7, {k515, u"ab"}},
        {{k515, u"abc"}, -1, {u"-"}}},
       0,
       true},
      // Each of several second instances gets its own arguments and reply.
      {"together",
       "secondary=int\nwait\n",
       "",
       {{{u"21", u"a"}, 21, {u"21", u"a"}},
        {{u"26", u"f"}, 26, {u"26", u"f"}},
        {{u"27", u"g"}, 27, {u"27", u"g"}},
        {{u"28", u"h"}, 28, {u"28", u"h"}},
        {{u"22", u"b"}, 22, {u"22", u"b"}},
        {{u"23", u"c"}, 23, {u"23", u"c"}},
        {{u"24", u"d"}, 24, {u"24", u"d"}},
        {{u"25", u"e"}, 25, {u"25", u"e"}}},
       0,
       true,
       true},
      {"void",
       "secondary=void\nwait\n",
       "",
       {{{u"x"}, 0, {u"x"}}, {{u"one", u"", u"two"}, 0, {u"one"}}, {{u"", u"two"}, 0, {u"", u"two"}}},
       0,
       true},
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

    // Second instances started together: threads of this process that hand
    // over their arguments at the same moment, closer together than
    // processes ever start.
    std::vector<int> togetherCodes(test.forwards.size(), 1000);
    if (test.together) {
      std::atomic<size_t> arrived{0};
      std::vector<std::thread> threads;
      for (size_t i = 0; i < test.forwards.size(); ++i) {
        threads.emplace_back([&, i] {
          ++arrived;
          while (arrived < test.forwards.size()) std::this_thread::yield();
          auto guard = InstanceGuard::SetupSingleInstance(launcher, test.forwards[i].arguments, {});
          if (guard && guard->role() == InstanceGuard::Role::kSecond) togetherCodes[i] = guard->WaitForFirstInstance();
        });
      }
      for (std::thread& thread : threads) thread.join();
    }
    std::vector<std::string> expected;
    for (size_t i = 0; i < test.forwards.size(); ++i) {
      const Forward& forward = test.forwards[i];
      if (test.together) {
        EXPECT_EQ(togetherCodes[i], forward.exitCode);
      } else {
        const ProcessResult second = WithUnixLineEnds(RunProgram(launcher, forward.arguments));
        EXPECT_EQ(second.exitCode, forward.exitCode == -1 ? ExitCodeMinusOne() : forward.exitCode)
            << second.output << second.errors;
        EXPECT_EQ(second.output, "");
      }
      if (forward.received == TextList{u"-"}) continue;
      expected.insert(expected.end(), {"attach", Logged(forward.received)});
      if (test.detaches) expected.push_back("detach");
    }
    std::unique_ptr<BackgroundStart> waiting;
    if (test.forwards.empty()) {
      waiting = std::make_unique<BackgroundStart>(launcher, TextList{u"x"});
      // Its request has been served (the lookup of secondaryMain) when the
      // worker detaches; from then on it waits.
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
    if (waiting) {
      EXPECT_EQ(waiting->Finish().exitCode, test.firstExitCode);
    }

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
