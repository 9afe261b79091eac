// The hand-over to the pair launcher on Windows: a JVM library that is not
// an image of the launcher's machine makes the launcher start "Pair Product"
// with its own command line instead of loading the JVM.
#include <gtest/gtest.h>

#include "e2e/e2e_support.h"
#include "jre/runtime_fixture.h"

namespace javelin::test {
namespace {

TEST(PairHandOver, ForeignJvmStartsThePairAndPassesItsExitCodeOnlyWhenAsked) {
  // The pair is another copy of the launcher whose own configuration has no
  // main class, so it reports that and ends with -1.
  for (const char* returnCode : {"Pair Return Code=YES\r\n", ""}) {
    TempDir root;
    WriteFile(root / u"jre/bin/server/jvm.dll", ForeignBinary());
    WriteFile(root / u"jre/bin/java.dll", "");
    const std::u16string launcher = InstallLauncher(root / u"app", u"myapp");
    const std::u16string pair = InstallLauncher(root / u"app", u"pair");
    WriteFile(root / u"app/pair.ini", "[Application]\n");
    WriteFile(root / u"app/myapp.ini", "[Java Runtime Environment]\r\nMain Class=never.Loaded\r\nJRE Path=" +
                                           ToUtf8(root / u"jre") + "\r\n[Application]\r\nPair Product=" +
                                           ToUtf8(pair) + "\r\n" + returnCode);
    const ProcessResult result = WithUnixLineEnds(RunProgram(launcher, {u"one", u"two words"}));
    if (*returnCode != '\0') {
      EXPECT_EQ(result.exitCode, -1) << result.errors;
      EXPECT_EQ(result.output, "Error: Main class in der INI-Datei nicht spezifiziert. \n");
    } else {
      EXPECT_EQ(result.exitCode, 0) << result.errors;
    }
  }
}

}  // namespace
}  // namespace javelin::test
