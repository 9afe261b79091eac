// The startup cache end to end with the machine's real JVMs: every
// installed JDK from 13 on creates its cache on the first start (also when
// two first starts run at once), uses it later and survives a garbled file,
// all without a byte of difference in the application's output. Which file
// a start uses or replaces is decided, and checked, where the plan is made.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <regex>

#include "e2e/e2e_support.h"
#include "jvm/startup_cache.h"

namespace javelin::test {
namespace {

namespace fs = std::filesystem;

// One JDK per feature version from /usr/lib/jvm (links to the same JDK
// count once).
std::vector<std::pair<int, std::u16string>> InstalledJdks() {
  std::map<int, std::u16string> homes;
  std::error_code error;
  for (const auto& entry : fs::directory_iterator("/usr/lib/jvm", error)) {
    const std::u16string home = FromUtf8(entry.path().string());
    const int version = ReadRuntimeFeatureVersion(home);
    if (version >= 13 && FileExists(JvmLibraryInHome(home)) && FileExists(JoinPath(home, u"bin/jar"))) {
      homes.emplace(version, home);
    }
  }
  return {homes.begin(), homes.end()};
}

class StartupCacheRealJvmTest : public ::testing::TestWithParam<std::pair<int, std::u16string>> {};

TEST_P(StartupCacheRealJvmTest, CreatedOnceUsedLaterAndSafeWhenDamaged) {
  if (JavaClassesDir().empty()) GTEST_SKIP() << "no Java programs";
  TempDir app, cacheHome;
  // The class-data archives take only JAR files.
  const ProcessResult jar = RunProgram(JoinPath(GetParam().second, u"bin/jar"),
                                       {u"cf", app / u"probe.jar", u"-C", JavaClassesDir(), u"launch"});
  ASSERT_EQ(jar.exitCode, 0) << jar.output << jar.errors;
  ProcessOptions options;
  options.environment[u"XDG_CACHE_HOME"] = cacheHome.path();
  const auto launcher = [&](const char* cacheLine) {
    return MakeApp(app.path(), u"app",
                   AppIni(GetParam().second, "launch.Probe", "probe.jar",
                          std::string("Virtual Machine Parameters=-Xmx128m\n") + cacheLine,
                          "[Product Information]\nProduct Name=Cache Probe\nProduct "
                          "Code=CP1\n"));
  };
  const ProcessResult plain = RunProgram(launcher(""), {}, options);
  ASSERT_EQ(plain.exitCode, 0) << plain.output << plain.errors;
  ASSERT_EQ(plain.output.rfind("argc=0\n", 0), 0u) << plain.output;
  // With the cache the application prints what it printed without and, on
  // standard error, only its options and "main done": not a word from the
  // JVM. Returns those.
  const std::u16string cached = launcher("Startup Cache=yes\n");
  const auto cleanRun = [&] {
    const ProcessResult result = RunProgram(cached, {}, options);
    EXPECT_EQ(result.exitCode, 0) << result.errors;
    EXPECT_EQ(result.output, plain.output);
    EXPECT_TRUE(std::regex_match(result.errors, std::regex("(option [^\n]*\n)*main done\n"))) << result.errors;
    return result.errors;
  };
  // The finished cache files or the pending ones.
  const auto files = [&](bool finished) {
    std::vector<std::string> files;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(ToUtf8(cacheHome / u"Cache Probe/CP1"), error)) {
      const std::string ext = entry.path().extension().string();
      if (finished ? ext == ".jsa" || ext == ".aot" : ext == ".tmp" || ext == ".aotconf") {
        files.push_back(entry.path().string());
      }
    }
    return files;
  };

  // Two first starts at once: both run normally; each may write its own
  // file, and the next start uses one and keeps only that.
  const std::string use = GetParam().first >= 25 ? "-XX:AOTCache=" : "-XX:SharedArchiveFile=";
  std::string firstErrors[2];
  std::thread other([&] { firstErrors[1] = cleanRun(); });
  firstErrors[0] = cleanRun();
  other.join();
  for (const std::string& errors : firstErrors) EXPECT_EQ(errors.find(use), std::string::npos) << errors;
  // JDK 25 assembles its cache in the background after the first start.
  EXPECT_TRUE(WaitFor([&] { return !files(true).empty() && files(false).empty(); }, 90));
  const std::string second = cleanRun();
  const std::vector<std::string> created = files(true);
  ASSERT_EQ(created.size(), 1u);
  EXPECT_NE(second.find(use + created[0]), std::string::npos) << second;

  // A garbled file of the right size is refused by the JVM in silence and
  // the start runs normally (that a cut one is never handed to the JVM is
  // checked where the plan is made).
  fs::permissions(created[0], fs::perms::owner_write, fs::perm_options::add);
  std::string bytes = ReadFile(FromUtf8(created[0]));
  for (size_t i = 0; i < bytes.size(); i += 7) bytes[i] = static_cast<char>(bytes[i] * 31 + 17);
  WriteFile(FromUtf8(created[0]), bytes);
  EXPECT_NE(cleanRun().find(use + created[0]), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(InstalledJdks, StartupCacheRealJvmTest, ::testing::ValuesIn(InstalledJdks()),
                         [](const auto& info) { return "Java" + std::to_string(info.param.first); });
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(StartupCacheRealJvmTest);

}  // namespace
}  // namespace javelin::test
