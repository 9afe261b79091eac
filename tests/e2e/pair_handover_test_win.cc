// The hand-over between the real x64 and x86 launchers: a launcher whose
// "JRE Path" holds a JVM library of the other machine type starts its "Pair
// Product" with its own arguments, and the pair launcher runs the application
// from its own INI on a runtime of its own machine type. Both builds' test
// JVMs give the two machine types.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>

#include "e2e/e2e_support.h"

namespace javelin::test {
namespace {

struct Build {
  const char* machine;
  std::u16string launcher;
  std::u16string testJvm;
};

// Why `program` cannot be started here (32-bit programs need 32-bit Wine),
// or nothing.
std::string WhyItCannotStart(const std::u16string& program) {
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process{};
  std::u16string line = u"\"" + program + u"\"";
  if (!CreateProcessW(reinterpret_cast<const wchar_t*>(program.c_str()),
                      reinterpret_cast<wchar_t*>(&line[0]), nullptr, nullptr, FALSE,
                      CREATE_SUSPENDED, nullptr, nullptr, &startup, &process)) {
    return "error " + std::to_string(GetLastError());
  }
  TerminateProcess(process.hProcess, 0);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return {};
}

// A copy of `launcher` as dir\app.exe with app.ini holding `ini`.
std::u16string PlaceLauncher(const std::u16string& launcher, const std::u16string& dir,
                             const std::string& ini) {
  WriteFile(JoinPath(dir, u"app.ini"), ini);
  const std::u16string copy = JoinPath(dir, u"app.exe");
  CopyOneFile(launcher, copy);
  return copy;
}

TEST(PairHandOver, EachMachineTypeHandsAForeignRuntimeToThePairWhichRunsItsOwnIni) {
  if (TestJvmPath().empty()) GTEST_SKIP() << "no test JVM in this build";
  const bool ownIs64Bit = sizeof(void*) == 8;
  const Build own{ownIs64Bit ? "x64" : "x86", LauncherPath(), TestJvmPath()};
  const Build other{ownIs64Bit ? "x86" : "x64", HostPath(JAVELIN_PAIR_LAUNCHER),
                    HostPath(JAVELIN_PAIR_TEST_JVM)};
  for (const std::u16string* file : {&other.launcher, &other.testJvm}) {
    if (!FileExists(*file))
      GTEST_SKIP() << "the " << other.machine << " build has no " << ToUtf8(*file);
  }
  if (const std::string why = WhyItCannotStart(other.launcher); !why.empty()) {
    GTEST_SKIP() << "the " << other.machine << " launcher cannot start here (" << why
                 << "): " << other.machine << " programs need " << (ownIs64Bit ? "32" : "64")
                 << "-bit Wine";
  }
  const TextList arguments = {u"one", u"two words", u"", u"\u00FCber \U0001F600"};
  const struct {
    const Build& from;
    const Build& to;
    int exitCode;
  } cases[] = {{own, other, 23}, {other, own, 42}};
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.from.machine) + " to " + c.to.machine);
    TempDir dir;
    // The pair: its own INI on a runtime of its own machine type; main
    // writes its arguments into the pair's output file and ends the process
    // with the case's code.
    const std::u16string pairJvm = JvmLibraryInHome(dir / u"pair-jre");
    CopyOneFile(c.to.testJvm, pairJvm);
    WriteFile(dir / u"pair-jre/bin/java.dll", "");
    SetTestJvmControl(pairJvm, "exit=" + std::to_string(c.exitCode) + "\n");
    const std::u16string output = dir / u"pair/out.txt";
    MakeDirectories(dir / u"pair/classes");
    const std::u16string pair =
        PlaceLauncher(c.to.launcher, dir / u"pair",
                      AppIni(dir / u"pair-jre", "com.example.Pair", ToUtf8(dir / u"pair/classes"),
                             "", "Output File=" + ToUtf8(output) + "\n"));
    // The first launcher's "JRE Path" holds a runtime of the pair's machine.
    const std::u16string foreignJvm = JvmLibraryInHome(dir / u"foreign-jre");
    CopyOneFile(c.to.testJvm, foreignJvm);
    WriteFile(dir / u"foreign-jre/bin/java.dll", "");
    SetTestJvmControl(foreignJvm, "");
    const std::u16string first =
        PlaceLauncher(c.from.launcher, dir / u"first",
                      AppIni(dir / u"foreign-jre", "never.Loaded", ToUtf8(dir / u"first/classes"),
                             "", "Pair Product=" + ToUtf8(pair) + "\nPair Return Code=yes\n"));

    const ProcessResult result = WithUnixLineEnds(RunProgram(first, arguments));
    EXPECT_EQ(result.exitCode, c.exitCode) << result.output << result.errors;
    EXPECT_EQ(WithUnixLineEnds({0, ReadFile(output), ""}).output, PrintedArguments(arguments));
    const std::vector<std::string> pairLog = TestJvmLog(pairJvm);
    EXPECT_NE(std::find(pairLog.begin(), pairLog.end(),
                        "option -Djava.class.path=" + ToUtf8(dir / u"pair/classes")),
              pairLog.end());
    EXPECT_TRUE(TestJvmLog(foreignJvm).empty()) << "the first launcher loaded the foreign JVM";
  }
}

}  // namespace
}  // namespace javelin::test
