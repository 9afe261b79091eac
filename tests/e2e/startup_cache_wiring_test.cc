// The "Startup Cache" key with the test JVM (Linux, and Windows under Wine):
// which options reach the JVM, and that a run whose JVM wrote no archive
// leaves nothing behind.
#include <gtest/gtest.h>

#include "base/file_system.h"
#include "e2e/e2e_support.h"

namespace javelin::test {
namespace {

TEST(StartupCacheWiringTest, OnlyYesAddsTheCacheOptionsAfterTheVmParameters) {
  if (TestJvmPath().empty()) GTEST_SKIP() << "no test JVM in this build";
  TempDir dir;
  const std::u16string library = InstallTestJvm(dir / u"home");
  // A Java 21 runtime with its base archive: the dynamic archive applies.
  WriteFile(dir / u"home/release", "JAVA_VERSION=\"21.0.2\"\n");
  WriteFile(library.substr(0, library.rfind(kPathSeparator) + 1) + u"classes.jsa", "base");
  ProcessOptions options;
  options.environment[kPathSeparator == u'\\' ? u"LOCALAPPDATA" : u"XDG_CACHE_HOME"] = dir / u"cache";
  // The options the test JVM was created with, without the hooks.
  const auto launch = [&](const std::string& cacheLine) {
    SetTestJvmControl(library, "");
    const std::u16string launcher =
        MakeApp(dir / u"app", u"app",
                "[Product Information]\nProduct Name=Wired\nProduct Code=W1\n[Java Runtime Environment]\nJRE Path=" +
                    ToUtf8(dir / u"home") + "\nMain Class=com.example.App\nVirtual Machine Parameters=-Dx=1\n" +
                    cacheLine + "[Class Path]\nClass Path=app.jar\n");
    const ProcessResult result = RunProgram(launcher, {}, options);
    EXPECT_EQ(result.exitCode, 0) << result.output << result.errors;
    std::vector<std::string> given;
    for (const std::string& line : TestJvmLog(library)) {
      if (line.rfind("option ", 0) == 0) given.push_back(line.substr(7));
    }
    return given;
  };
  WriteFile(dir / u"app/app.jar", "");
  const std::vector<std::string> plain = launch("");
  ASSERT_EQ(plain.size(), 2u);
  EXPECT_EQ(plain[1], "-Dx=1");
  for (const char* value : {"Startup Cache=Yes\n", "Startup Cache=no\n", "Startup Cache=\n"}) {
    EXPECT_EQ(launch(value), plain) << value;
  }

  const std::vector<std::string> first = launch("Startup Cache=yes\n");
  const std::string prefix =
      "-XX:SharedArchiveFile=" + ToUtf8(dir / u"cache/Wired/W1" + std::u16string(1, kPathSeparator));
  ASSERT_EQ(first.size(), 5u) << testing::PrintToString(first);
  EXPECT_EQ(std::vector<std::string>(first.begin(), first.begin() + 2), plain);
  EXPECT_EQ(first[2], "-XX:+AutoCreateSharedArchive");
  ASSERT_EQ(first[3].rfind(prefix, 0), 0u) << first[3];
  EXPECT_EQ(first[3].substr(first[3].size() - 8), ".jsa.tmp");
  EXPECT_EQ(first[4], "-Xlog:cds*=off");
  FileFinder finder;  // the test JVM wrote no archive: nothing stays in the folder
  for (bool found = finder.FindFile(dir / u"cache/Wired/W1/*"); found; found = finder.FindNext()) {
    EXPECT_TRUE(finder.IsDirectory()) << ToUtf8(finder.FileName());
  }

  // An archive the JVM finished earlier is used.
  const std::u16string archive = dir / FromUtf8("cache/Wired/W1/" + first[3].substr(prefix.size(), 16) + "-4.jsa");
  WriteFile(archive, "done");
  EXPECT_EQ(launch("Startup Cache=yes\n"),
            (std::vector<std::string>{plain[0], plain[1], "-XX:SharedArchiveFile=" + ToUtf8(archive),
                                      "-Xlog:cds*=off"}));
}

}  // namespace
}  // namespace javelin::test
