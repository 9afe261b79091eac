// The hand-over to the pair launcher: when the chosen JVM library is built
// for another machine, the launcher starts "Pair Product" with its own
// arguments instead of loading the JVM. The pair here is another launcher
// copy on the test JVM; relative output files land in its working folder.
#include <gtest/gtest.h>

#include "e2e/e2e_support.h"
#include "jre/runtime_fixture.h"

namespace javelin::test {
namespace {

TEST(PairHandOver, ForeignJvmStartsThePairWithTheSameArgumentsAndMaybeItsExitCode) {
  if (TestJvmPath().empty()) GTEST_SKIP() << "no test JVM in this build";
  const TextList arguments = {u"one", u"two words", u"", u"\u00FCber \U0001F600"};
  const struct {
    std::string applicationLines;
    std::string pairLines;  // where the pair's streams go
    int exitCode;           // the pair's 7 only with "Pair Return Code"
    bool launcherFolder;    // the pair runs there only with "Override WorkingDir"
    std::string output, file;
  } cases[] = {
      {"Pair Return Code=yes\nOverride WorkingDir=Yes\n", "Error File=pair-ran.txt\n", 7, true,
       PrintedArguments(arguments), "main done\n"},
      // Without the return code the launcher does not wait for the pair.
      {"Pair Return Code=Nein\n", "Output File=pair-ran.txt\n", 0, false, "", PrintedArguments(arguments)},
  };
  for (const auto& c : cases) {
    TempDir root;
    const std::u16string library = InstallTestJvm(root / u"testjre");
    SetTestJvmControl(library, "exit=7\n");
    const std::u16string pair =
        MakeApp(root / u"app", u"pair", AppIni(root / u"testjre", "com.example.App", ".", "", c.pairLines));
    WriteFile(InstallTestJvm(root / u"jre"), ForeignBinary());
    const std::u16string launcher = MakeApp(
        root / u"app", u"myapp",
        AppIni(root / u"jre", "never.Loaded", ".", "", "Pair Product=" + ToUtf8(pair) + "\n" + c.applicationLines));
    ProcessOptions options;
    options.workingDirectory = root.path();
    const ProcessResult result = WithUnixLineEnds(RunProgram(launcher, arguments, options));
    EXPECT_EQ(result.exitCode, c.exitCode) << result.errors;
    EXPECT_EQ(result.output, c.output);
    const std::u16string ran = (c.launcherFolder ? root / u"app" : root.path()) + kPathSeparator + u"pair-ran.txt";
    EXPECT_TRUE(WaitFor(
        [&] {
          return WithUnixLineEnds({0, ReadFile(ran), ""}).output == c.file;
        },
        30))
        << ReadFile(ran);
  }
}

}  // namespace
}  // namespace javelin::test
