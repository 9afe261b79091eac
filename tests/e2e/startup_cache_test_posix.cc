// The startup cache end to end with the machine's real JVMs: every
// installed JDK from 13 on creates its cache on the first start (also when
// two first starts run at once), uses it later, replaces it when the class
// path changes, and survives a garbled file, all without a byte of
// difference in the application's output.
#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <set>

#include "e2e/e2e_support.h"
#include "jvm/startup_cache.h"

namespace javelin::test {
namespace {

namespace fs = std::filesystem;

struct Jdk {
  int version;
  std::u16string home;
};

// One JDK per feature version from /usr/lib/jvm (links to the same JDK
// count once).
std::vector<Jdk> InstalledJdks() {
  std::vector<Jdk> jdks;
  std::set<int> versions;
  std::error_code error;
  std::set<fs::path> homes;
  for (const auto& entry : fs::directory_iterator("/usr/lib/jvm", error)) homes.insert(entry.path());
  for (const fs::path& home : homes) {
    const std::u16string path = FromUtf8(home.string());
    const int version = ReadRuntimeFeatureVersion(path);
    if (version < 13 || !FileExists(JvmLibraryInHome(path)) || !FileExists(JoinPath(path, u"bin/jar"))) continue;
    if (versions.insert(version).second) jdks.push_back({version, path});
  }
  return jdks;
}

class StartupCacheRealJvmTest : public ::testing::TestWithParam<Jdk> {
 protected:
  void SetUp() override {
    if (JavaClassesDir().empty()) GTEST_SKIP() << "no Java programs";
    // The class-data archives take only JAR files.
    const ProcessResult jar = RunProgram(JoinPath(GetParam().home, u"bin/jar"),
                                         {u"cf", app_ / u"probe.jar", u"-C", JavaClassesDir(), u"launch"});
    ASSERT_EQ(jar.exitCode, 0) << jar.output << jar.errors;
    WriteFile(app_ / u"extra.jar", std::string("PK\x05\x06", 4) + std::string(18, '\0'));
    options_.environment[u"XDG_CACHE_HOME"] = cacheHome_.path();
  }

  void Configure(bool cache, const std::string& classPath = "probe.jar") {
    launcher_ =
        MakeApp(app_.path(), u"app",
                AppIni(GetParam().home, "launch.Probe", classPath,
                       std::string("Virtual Machine Parameters=-Xmx128m\n") + (cache ? "Startup Cache=yes\n" : ""),
                       "[Product Information]\nProduct Name=Cache Probe\nProduct Code=CP1\n"));
  }

  // The application printed what it prints without the cache and, on
  // standard error, only its options and "main done": not a word from the
  // JVM. Returns those.
  std::string CleanRun() {
    const ProcessResult result = RunProgram(launcher_, {}, options_);
    EXPECT_EQ(result.exitCode, 0) << result.errors;
    EXPECT_EQ(result.output, plain_);
    EXPECT_TRUE(std::regex_match(result.errors, std::regex("(option [^\n]*\n)*main done\n"))) << result.errors;
    return result.errors;
  }

  // The finished cache files or the pending ones.
  std::vector<std::string> Files(bool finished) const {
    std::vector<std::string> files;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(ToUtf8(cacheHome_ / u"Cache Probe/CP1"), error)) {
      const std::string ext = entry.path().extension().string();
      if (finished ? ext == ".jsa" || ext == ".aot" : ext == ".tmp" || ext == ".aotconf") {
        files.push_back(entry.path().string());
      }
    }
    return files;
  }

  // JDK 25 assembles its cache in the background after the first start.
  std::vector<std::string> WaitForFinished(const std::string& other = "") const {
    const auto finished = [&] { return !Files(true).empty() && Files(true) != std::vector<std::string>{other}; };
    WaitFor(finished, 90);
    return Files(true);
  }

  TempDir app_, cacheHome_;
  ProcessOptions options_;
  std::u16string launcher_;
  std::string plain_;
};

TEST_P(StartupCacheRealJvmTest, CreatedOnceUsedLaterRenewedWithTheClassPathAndSafeWhenDamaged) {
  Configure(false);
  const ProcessResult plain = RunProgram(launcher_, {}, options_);
  ASSERT_EQ(plain.exitCode, 0) << plain.output << plain.errors;
  ASSERT_EQ(plain.output.rfind("argc=0\n", 0), 0u) << plain.output;
  EXPECT_TRUE(Files(true).empty() && Files(false).empty());
  plain_ = plain.output;

  // Two first starts at once: both run normally; each may write its own
  // file, and the next start uses one and keeps only that.
  const std::string use = GetParam().version >= 25 ? "-XX:AOTCache=" : "-XX:SharedArchiveFile=";
  Configure(true);
  std::string firstErrors[2];
  std::thread other([&] { firstErrors[1] = CleanRun(); });
  firstErrors[0] = CleanRun();
  other.join();
  for (const std::string& errors : firstErrors) EXPECT_EQ(errors.find(use), std::string::npos) << errors;
  ASSERT_GE(WaitForFinished().size(), 1u);
  EXPECT_TRUE(WaitFor([&] { return Files(false).empty(); }, 90));
  const std::string second = CleanRun();
  const std::vector<std::string> created = Files(true);
  ASSERT_EQ(created.size(), 1u);
  EXPECT_NE(second.find(use + created[0]), std::string::npos) << second;

  // Another class path is another cache; the old one goes.
  Configure(true, "probe.jar;extra.jar");
  const std::string changed = CleanRun();
  EXPECT_EQ(changed.find(use), std::string::npos) << changed;
  const std::vector<std::string> renewed = WaitForFinished(created[0]);
  ASSERT_EQ(renewed.size(), 1u);
  EXPECT_NE(renewed[0], created[0]);
  EXPECT_NE(CleanRun().find(use + renewed[0]), std::string::npos);

  // A garbled file of the right size is refused by the JVM in silence and
  // the start runs normally (that a cut one is never handed to the JVM is
  // checked where the plan is made).
  fs::permissions(renewed[0], fs::perms::owner_write, fs::perm_options::add);
  std::string bytes = ReadFile(FromUtf8(renewed[0]));
  for (size_t i = 0; i < bytes.size(); i += 7) bytes[i] = static_cast<char>(bytes[i] * 31 + 17);
  WriteFile(FromUtf8(renewed[0]), bytes);
  EXPECT_NE(CleanRun().find(use + renewed[0]), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(InstalledJdks, StartupCacheRealJvmTest, ::testing::ValuesIn(InstalledJdks()),
                         [](const ::testing::TestParamInfo<Jdk>& info) {
                           return "Java" + std::to_string(info.param.version);
                         });
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(StartupCacheRealJvmTest);

}  // namespace
}  // namespace javelin::test
