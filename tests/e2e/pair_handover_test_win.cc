// The hand-over to the pair launcher on Windows: a JVM library that is not
// an x64 image makes the launcher start "Pair Product" with its own command
// line instead of loading the JVM.
#include <gtest/gtest.h>

#include "e2e/e2e_support.h"
#include "support/test_support.h"

namespace javelin::test {
namespace {

// The headers of a 32-bit (i386) DLL, enough for the machine check.
std::string I386Library() {
  std::string image(0x200, '\0');
  image[0] = 'M';
  image[1] = 'Z';
  image[0x3C] = static_cast<char>(0x80);  // offset of the NT headers
  image.replace(0x80, 4, std::string("PE\0\0", 4));
  image[0x84] = static_cast<char>(0x4C);  // IMAGE_FILE_MACHINE_I386
  image[0x85] = static_cast<char>(0x01);
  return image;
}

struct PairApp {
  TempDir root;
  std::u16string appDir = root / u"app";
  std::u16string launcher;

  explicit PairApp(const std::string& applicationSection) {
    WriteFile(root / u"jre/bin/server/jvm.dll", I386Library());
    WriteFile(root / u"jre/bin/java.dll", "");
    launcher = InstallLauncher(appDir, u"myapp");
    // The pair is another copy of the launcher whose own configuration has no
    // main class, so it reports that and ends with -1.
    const std::u16string pair = InstallLauncher(appDir, u"pair");
    WriteFile(JoinPath(appDir, u"pair.ini"), "[Application]\n");
    WriteFile(JoinPath(appDir, u"myapp.ini"),
              "[Java Runtime Environment]\r\n"
              "Main Class=never.Loaded\r\n"
              "JRE Path=" + ToUtf8(root / u"jre") + "\r\n"
              "[Application]\r\n"
              "Pair Product=" + ToUtf8(pair) + "\r\n" + applicationSection);
  }
};

TEST(PairHandOver, ForeignJvmStartsThePairAndPassesItsExitCode) {
  PairApp app("Pair Return Code=YES\r\n");
  // The C runtime's text-mode output ends lines with CR LF on Windows.
  const ProcessResult result = WithUnixLineEnds(RunProgram(app.launcher, {u"one", u"two words"}));
  EXPECT_EQ(result.exitCode, -1) << result.errors;
  EXPECT_EQ(result.output, "Error: Main class in der INI-Datei nicht spezifiziert. \n");
}

TEST(PairHandOver, WithoutPairReturnCodeTheLauncherEndsWithZero) {
  PairApp app("");
  const ProcessResult result = RunProgram(app.launcher, {});
  EXPECT_EQ(result.exitCode, 0) << result.errors;
}

}  // namespace
}  // namespace javelin::test
