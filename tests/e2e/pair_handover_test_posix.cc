// The hand-over to the pair launcher: when the chosen JVM library is built
// for another machine, the launcher starts "Pair Product" with its own
// arguments instead of loading the JVM.
#include <sys/stat.h>

#include <chrono>
#include <thread>

#include <gtest/gtest.h>

#include "support/test_support.h"

namespace javelin::test {
namespace {

// A minimal 64-bit ELF header of a shared object for another processor.
std::string ForeignElfLibrary() {
  std::string header(64, '\0');
  header.replace(0, 4, "\x7f" "ELF");
  header[4] = 2;  // 64-bit
  header[5] = 1;  // little endian
  header[6] = 1;  // version
  header[16] = 3;  // ET_DYN
#if defined(__aarch64__)
  header[18] = 62;  // EM_X86_64
#else
  header[18] = static_cast<char>(183);  // EM_AARCH64
#endif
  header[20] = 1;
  return header;
}

struct PairApp {
  TempDir root;
  std::u16string appDir = root / u"app";
  std::u16string launcher;

  explicit PairApp(const std::string& applicationSection) {
    WriteFile(root / u"jre/lib/server/libjvm.so", ForeignElfLibrary());
    WriteFile(root / u"jre/lib/libjava.so", "");
    launcher = InstallLauncher(appDir, u"myapp");
    const std::string pair = ToUtf8(JoinPath(appDir, u"pair.sh"));
    WriteFile(JoinPath(appDir, u"pair.sh"),
              "#!/bin/sh\n"
              "out=\"$(dirname \"$0\")/pair-ran.txt\"\n"
              "for a in \"$@\"; do printf '<%s>\\n' \"$a\"; done > \"$out.tmp\"\n"
              "pwd >> \"$out.tmp\"\n"
              "cat \"$out.tmp\"; mv \"$out.tmp\" \"$out\"\n"
              "exit 7\n");
    chmod(pair.c_str(), 0755);
    WriteFile(JoinPath(appDir, u"myapp.ini"),
              "[Java Runtime Environment]\n"
              "Main Class=never.Loaded\n"
              "JRE Path=" + ToUtf8(root / u"jre") + "\n"
              "[Application]\n"
              "Pair Product=" + pair + "\n" + applicationSection);
  }
};

TEST(PairHandOver, ForeignJvmStartsThePairWithTheSameArgumentsAndPassesItsExitCode) {
  PairApp app("Pair Return Code=yes\nOverride WorkingDir=Yes\n");
  ProcessOptions options;
  options.workingDirectory = app.root.path();
  const ProcessResult result =
      RunProgram(app.launcher, {u"one", u"two words", u"", u"\u00FCber \U0001F600"}, options);
  EXPECT_EQ(result.exitCode, 7) << result.errors;
  // The working directory was switched to the launcher's folder before the
  // hand-over, so the pair inherits it.
  EXPECT_EQ(result.output, "<one>\n<two words>\n<>\n<\xC3\xBC" "ber \xF0\x9F\x98\x80>\n" +
                               ToUtf8(app.appDir) + "\n");
}

TEST(PairHandOver, WithoutPairReturnCodeTheLauncherEndsWithZeroAtOnce) {
  PairApp app("Pair Return Code=Nein\n");
  ProcessOptions options;
  options.workingDirectory = app.root.path();
  const ProcessResult result = RunProgram(app.launcher, {u"x"}, options);
  EXPECT_EQ(result.exitCode, 0) << result.errors;
  // The pair was started all the same; without Override WorkingDir it runs
  // in the caller's directory.
  const std::u16string ran = JoinPath(app.appDir, u"pair-ran.txt");
  for (int i = 0; i < 200 && !FileExists(ran); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(50));
  EXPECT_EQ(ReadFile(ran), "<x>\n" + ToUtf8(app.root.path()) + "\n");
}

}  // namespace
}  // namespace javelin::test
