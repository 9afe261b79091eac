// The hand-over to the pair launcher: when the chosen JVM library is built
// for another machine, the launcher starts "Pair Product" with its own
// arguments instead of loading the JVM.
#include <sys/stat.h>

#include <chrono>
#include <thread>

#include <gtest/gtest.h>

#include "jre/runtime_fixture.h"
#include "support/test_support.h"

namespace javelin::test {
namespace {

TEST(PairHandOver, ForeignJvmStartsThePairWithTheSameArgumentsAndMaybeItsExitCode) {
  const struct {
    std::string applicationLines;
    TextList arguments;
    int exitCode;        // the pair's 7 only with "Pair Return Code"
    bool launcherFolder;  // the pair runs there only with "Override WorkingDir"
    std::string printed;
  } cases[] = {
      {"Pair Return Code=yes\nOverride WorkingDir=Yes\n", {u"one", u"two words", u"", u"\u00FCber \U0001F600"}, 7,
       true, "<one>\n<two words>\n<>\n<\xC3\xBC" "ber \xF0\x9F\x98\x80>\n"},
      {"Pair Return Code=Nein\n", {u"x"}, 0, false, "<x>\n"},
  };
  for (const auto& c : cases) {
    TempDir root;
    const std::u16string app = root / u"app", ran = root / u"app/pair-ran.txt";
    WriteFile(root / u"jre/lib/server/libjvm.so", ForeignBinary());
    WriteFile(root / u"jre/lib/libjava.so", "");
    const std::u16string launcher = InstallLauncher(app, u"myapp");
    const std::string pair = ToUtf8(root / u"app/pair.sh");
    WriteFile(root / u"app/pair.sh",
              "#!/bin/sh\nout=\"$(dirname \"$0\")/pair-ran.txt\"\n"
              "for a in \"$@\"; do printf '<%s>\\n' \"$a\"; done > \"$out.tmp\"\n"
              "pwd >> \"$out.tmp\"\ncat \"$out.tmp\"; mv \"$out.tmp\" \"$out\"\nexit 7\n");
    chmod(pair.c_str(), 0755);
    WriteFile(root / u"app/myapp.ini", "[Java Runtime Environment]\nMain Class=never.Loaded\nJRE Path=" +
                                           ToUtf8(root / u"jre") + "\n[Application]\nPair Product=" + pair + "\n" +
                                           c.applicationLines);
    ProcessOptions options;
    options.workingDirectory = root.path();
    const ProcessResult result = RunProgram(launcher, c.arguments, options);
    EXPECT_EQ(result.exitCode, c.exitCode) << result.errors;
    // Without the return code the launcher does not wait for the pair.
    for (int i = 0; i < 200 && !FileExists(ran); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(50));
    const std::string expected = c.printed + ToUtf8(c.launcherFolder ? app : root.path()) + "\n";
    EXPECT_EQ(ReadFile(ran), expected);
    if (c.exitCode != 0) {
      EXPECT_EQ(result.output, expected);
    }
  }
}

}  // namespace
}  // namespace javelin::test
