// The startup cache with the machine's real JVMs: every installed JDK from
// 13 on creates its cache on the first start, uses it later, replaces it
// when the class path changes, and survives a damaged file, all without a
// byte of difference in the application's output.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <set>
#include <thread>

#include "base/file_system.h"
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
  std::vector<fs::path> homes;
  for (const auto& entry : fs::directory_iterator("/usr/lib/jvm", error)) homes.push_back(entry.path());
  std::sort(homes.begin(), homes.end());
  for (const fs::path& home : homes) {
    const std::u16string path = FromUtf8(home.string());
    const int version = ReadRuntimeFeatureVersion(path);
    if (version < 13 || !FileExists(JvmLibraryInHome(path)) || !FileExists(JoinPath(path, u"bin/jar"))) continue;
    if (versions.insert(version).second) jdks.push_back({version, path});
  }
  return jdks;
}

class StartupCacheE2eTest : public ::testing::TestWithParam<Jdk> {
 protected:
  void SetUp() override {
    if (JavaClassesDir().empty()) GTEST_SKIP() << "no Java programs";
    // The class-data archives take only JAR files.
    const ProcessResult jar = RunProgram(JoinPath(GetParam().home, u"bin/jar"),
                                         {u"cf", app_ / u"probe.jar", u"-C", JavaClassesDir(), u"cache"});
    ASSERT_EQ(jar.exitCode, 0) << jar.output << jar.errors;
    WriteFile(app_ / u"extra.jar", std::string("PK\x05\x06", 4) + std::string(18, '\0'));
    options_.environment[u"XDG_CACHE_HOME"] = cacheHome_.path();
    options_.timeoutSeconds = 120;
  }

  ProcessResult Run(bool cache, const std::string& classPath = "probe.jar") {
    const std::u16string launcher =
        MakeApp(app_.path(), u"app",
                "[Product Information]\nProduct Name=Cache Probe\nProduct Code=CP1\n"
                "[Java Runtime Environment]\nJRE Path=" + ToUtf8(GetParam().home) +
                    "\nMain Class=cache.CacheProbe\nVirtual Machine Parameters=-Xmx128m\n" +
                    (cache ? "Startup Cache=yes\n" : "") + "[Class Path]\nClass Path=" + classPath + "\n");
    return RunProgram(launcher, {}, options_);
  }

  std::u16string Folder() const { return cacheHome_ / u"Cache Probe/CP1"; }

  // The finished cache files (name with the size, no pending ones).
  std::vector<std::u16string> Finished() const {
    std::vector<std::u16string> files;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(ToUtf8(Folder()), error)) {
      const std::string name = entry.path().filename().string();
      if (name.size() > 4 && (name.substr(name.size() - 4) == ".jsa" || name.substr(name.size() - 4) == ".aot")) {
        files.push_back(FromUtf8(entry.path().string()));
      }
    }
    return files;
  }

  size_t PendingFiles() const {
    std::error_code error;
    size_t count = 0;
    for (const auto& entry : fs::directory_iterator(ToUtf8(Folder()), error)) {
      const std::string name = entry.path().filename().string();
      if (name.find(".tmp") != std::string::npos || name.find(".aotconf") != std::string::npos) ++count;
    }
    return count;
  }

  // JDK 25 assembles its cache in the background after the first start.
  std::vector<std::u16string> WaitForFinished(const std::u16string& other = u"") const {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(90);
    std::vector<std::u16string> files = Finished();
    while ((files.empty() || (files.size() == 1 && files[0] == other)) &&
           std::chrono::steady_clock::now() < deadline) {
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
      files = Finished();
    }
    return files;
  }

  // The application printed its result and, on standard error, only the
  // options it was started with.
  void ExpectCleanRun(const ProcessResult& result, const std::string& expectedOutput) {
    EXPECT_EQ(result.exitCode, 0) << result.errors;
    EXPECT_EQ(result.output, expectedOutput);
    EXPECT_EQ(result.errors.rfind("options=[", 0), 0u) << result.errors;
    EXPECT_EQ(std::count(result.errors.begin(), result.errors.end(), '\n'), 1) << result.errors;
  }

  TempDir app_;
  TempDir cacheHome_;
  ProcessOptions options_;
};

TEST_P(StartupCacheE2eTest, CreatedOnceUsedLaterRenewedWithTheClassPathAndSafeWhenDamaged) {
  const ProcessResult plain = Run(false);
  ASSERT_EQ(plain.exitCode, 0) << plain.output << plain.errors;
  ASSERT_NE(plain.output.find("sum=32 words=THREE,POINT,ONE,FOUR,ONE,FIVE date=2024-03-01 range=42..10"),
            std::string::npos);
  EXPECT_FALSE(FileExists(Folder()));

  const std::string useOption = GetParam().version >= 25 ? "-XX:AOTCache=" : "-XX:SharedArchiveFile=";
  const ProcessResult first = Run(true);
  ExpectCleanRun(first, plain.output);
  EXPECT_EQ(first.errors.find(useOption), std::string::npos) << first.errors;
  const std::vector<std::u16string> created = WaitForFinished();
  ASSERT_EQ(created.size(), 1u);

  const ProcessResult second = Run(true);
  ExpectCleanRun(second, plain.output);
  EXPECT_NE(second.errors.find(useOption + ToUtf8(created[0])), std::string::npos) << second.errors;

  // Another class path is another cache; the old one goes.
  const ProcessResult changed = Run(true, "probe.jar;extra.jar");
  ExpectCleanRun(changed, plain.output);
  EXPECT_EQ(changed.errors.find(useOption), std::string::npos) << changed.errors;
  std::vector<std::u16string> renewed = WaitForFinished(created[0]);
  ASSERT_EQ(renewed.size(), 1u);
  EXPECT_NE(renewed[0], created[0]);
  ExpectCleanRun(Run(true, "probe.jar;extra.jar"), plain.output);

  // A cut file is never handed to the JVM; a garbled one of the right size
  // is refused by it in silence. Both starts run normally.
  const std::string whole = ReadFile(renewed[0]);
  fs::permissions(ToUtf8(renewed[0]), fs::perms::owner_write, fs::perm_options::add);
  WriteFile(renewed[0], whole.substr(0, whole.size() / 3));
  ExpectCleanRun(Run(true, "probe.jar;extra.jar"), plain.output);
  renewed = WaitForFinished();
  ASSERT_EQ(renewed.size(), 1u);
  fs::permissions(ToUtf8(renewed[0]), fs::perms::owner_write, fs::perm_options::add);
  std::string garbled = ReadFile(renewed[0]);
  for (size_t i = 0; i < garbled.size(); i += 7) garbled[i] = static_cast<char>(garbled[i] * 31 + 17);
  WriteFile(renewed[0], garbled);
  const ProcessResult afterGarbage = Run(true, "probe.jar;extra.jar");
  ExpectCleanRun(afterGarbage, plain.output);
  EXPECT_NE(afterGarbage.errors.find(useOption + ToUtf8(renewed[0])), std::string::npos);
}

TEST_P(StartupCacheE2eTest, TwoFirstStartsAtOnceBothRunNormally) {
  const ProcessResult plain = Run(false);
  ASSERT_EQ(plain.exitCode, 0) << plain.errors;
  Run(true);  // writes the INI with the cache on
  for (const std::u16string& file : WaitForFinished()) fs::remove(ToUtf8(file));

  const std::u16string launcher = app_ / u"app";
  ProcessResult results[2];
  std::thread other([&] { results[1] = RunProgram(launcher, {}, options_); });
  results[0] = RunProgram(launcher, {}, options_);
  other.join();
  for (const ProcessResult& result : results) ExpectCleanRun(result, plain.output);
  // Each wrote its own file; both may finish, and the next start keeps one.
  EXPECT_GE(WaitForFinished().size(), 1u);
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(90);
  while (PendingFiles() > 0 && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  const ProcessResult next = Run(true);
  ExpectCleanRun(next, plain.output);
  EXPECT_EQ(Finished().size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(InstalledJdks, StartupCacheE2eTest, ::testing::ValuesIn(InstalledJdks()),
                         [](const ::testing::TestParamInfo<Jdk>& info) {
                           return "Java" + std::to_string(info.param.version);
                         });
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(StartupCacheE2eTest);

}  // namespace
}  // namespace javelin::test
