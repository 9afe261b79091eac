// The error line of a launch reaches a redirected standard output whole, in
// UTF-8, whatever script its text is written in.
#include <gtest/gtest.h>

#include "base/file_system.h"
#include "config/ini_text.h"
#include "e2e/e2e_support.h"

namespace javelin::test {
namespace {

TEST(ErrorOutputOfALaunch, ANonLatinLibraryPathIsPrintedWhole) {
  if (TestJvmPath().empty()) GTEST_SKIP() << "no test JVM in this build";
  TempDir dir;
  // Cyrillic, CJK and a character outside the BMP in the runtime's folder.
  const std::u16string home = dir / u"\u042F\u0432\u0430 \u4E2D\u6587 \U0001D11E";
  const std::u16string library = InstallTestJvm(home);
  WriteFile(library, "not a shared library");
  // UTF-16 with a byte-order mark: the one encoding that both INI readers
  // take for every character.
  const std::u16string ini = u"[Java Runtime Environment]\nJRE Path=" + home +
                             u"\nMain Class=com.example.App\n[Class Path]\nClass Path=.\n";
  const std::u16string launcher =
      MakeApp(dir / u"app", u"app", EncodeIniText(ini, IniEncoding::kUtf16LeBom));

  const ProcessResult result = WithUnixLineEnds(RunProgram(launcher, {}));
  EXPECT_EQ(result.exitCode, ExitCodeMinusOne());
  const std::string start = "Error: Konnte Java VM Bibliothek: " + ToUtf8(library) + " (";
  EXPECT_EQ(result.output.substr(0, start.size()), start) << result.output;
  const std::string end = ") nicht laden.\n \n";
  ASSERT_GE(result.output.size(), end.size());
  EXPECT_EQ(result.output.substr(result.output.size() - end.size()), end) << result.output;
}

}  // namespace
}  // namespace javelin::test
