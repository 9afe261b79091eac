// The "Startup Cache" key with the test JVM (Linux, and Windows under Wine):
// which options reach the JVM, and that a run whose JVM wrote no archive
// leaves nothing behind.
#include <gtest/gtest.h>

#include <algorithm>

#include "base/file_system.h"
#include "e2e/e2e_support.h"

namespace javelin::test {
namespace {

class StartupCacheWiringTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (TestJvmPath().empty()) GTEST_SKIP() << "no test JVM in this build";
    library_ = InstallTestJvm(dir_ / u"home");
    // A Java 21 runtime with its base archive: the dynamic archive applies.
    WriteFile(dir_ / u"home/release", "JAVA_VERSION=\"21.0.2\"\n");
    const std::u16string libraryFolder = library_.substr(0, library_.rfind(kPathSeparator));
    WriteFile(JoinPath(libraryFolder, u"classes.jsa"), "base");
    WriteFile(dir_ / u"app/app.jar", "");
    options_.environment[kPathSeparator == u'\\' ? u"LOCALAPPDATA" : u"XDG_CACHE_HOME"] = dir_ / u"cache";
  }

  // The options the test JVM was created with, without the hooks.
  std::vector<std::string> Launch(const std::string& cacheLine) {
    SetTestJvmControl(library_, "");
    const std::u16string launcher =
        MakeApp(dir_ / u"app", u"app",
                "[Product Information]\nProduct Name=Wired\nProduct Code=W1\n"
                "[Java Runtime Environment]\nJRE Path=" + ToUtf8(dir_ / u"home") +
                    "\nMain Class=com.example.App\nVirtual Machine Parameters=-Dx=1\n" + cacheLine +
                    "[Class Path]\nClass Path=app.jar\n");
    const ProcessResult result = WithUnixLineEnds(RunProgram(launcher, {}, options_));
    EXPECT_EQ(result.exitCode, 0) << result.output << result.errors;
    std::vector<std::string> options;
    for (const std::string& line : TestJvmLog(library_)) {
      if (line.rfind("option ", 0) == 0) options.push_back(line.substr(7));
    }
    return options;
  }

  TempDir dir_;
  ProcessOptions options_;
  std::u16string library_;
};

TEST_F(StartupCacheWiringTest, OnlyYesAddsTheCacheOptionsAfterTheVmParameters) {
  const std::vector<std::string> plain = Launch("");
  ASSERT_EQ(plain.size(), 2u);
  EXPECT_EQ(plain[1], "-Dx=1");
  for (const char* value : {"Startup Cache=Yes\n", "Startup Cache=no\n", "Startup Cache=\n"}) {
    EXPECT_EQ(Launch(value), plain) << value;
  }

  const std::vector<std::string> first = Launch("Startup Cache=yes\n");
  ASSERT_EQ(first.size(), 5u) << testing::PrintToString(first);
  EXPECT_EQ(std::vector<std::string>(first.begin(), first.begin() + 2), plain);
  EXPECT_EQ(first[2], "-XX:+AutoCreateSharedArchive");
  const std::string prefix =
      "-XX:SharedArchiveFile=" + ToUtf8(dir_ / u"cache/Wired/W1" + std::u16string(1, kPathSeparator));
  ASSERT_EQ(first[3].rfind(prefix, 0), 0u) << first[3];
  EXPECT_EQ(first[3].substr(first[3].size() - 8), ".jsa.tmp");
  EXPECT_EQ(first[4], "-Xlog:cds*=off");
  // The test JVM wrote no archive: nothing stays in the folder.
  TextList left;
  FileFinder finder;
  for (bool found = finder.FindFile(dir_ / u"cache/Wired/W1/*"); found; found = finder.FindNext()) {
    if (!finder.IsDirectory()) left.push_back(finder.FileName());
  }
  EXPECT_TRUE(left.empty()) << ToUtf8(left.front());

  // An archive the JVM finished earlier is used.
  const std::string key = first[3].substr(prefix.size(), 16);
  const std::u16string archive = dir_ / FromUtf8("cache/Wired/W1/" + key + "-4.jsa");
  WriteFile(archive, "done");
  EXPECT_EQ(Launch("Startup Cache=yes\n"),
            (std::vector<std::string>{plain[0], plain[1], "-XX:SharedArchiveFile=" + ToUtf8(archive),
                                      "-Xlog:cds*=off"}));
}

}  // namespace
}  // namespace javelin::test
