// The startup cache's decisions: which mechanism a runtime gets, which file
// a launch uses or creates, and how the cache folder is kept tidy.
#include "jvm/startup_cache.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <functional>

#include "base/file_system.h"
#include "base/scoped_environment.h"
#include "jvm/jvm_environment.h"
#include "support/test_support.h"

namespace javelin::test {
namespace {

using M = StartupCacheMechanism;
namespace fs = std::filesystem;

TextList CacheFiles(const std::u16string& folder) {
  TextList names;
  FileFinder finder;
  for (bool found = finder.FindFile(JoinPath(folder, u"*")); found; found = finder.FindNext()) {
    if (!finder.IsDirectory()) names.push_back(finder.FileName());
  }
  std::sort(names.begin(), names.end());
  return names;
}

TEST(StartupCacheTest, MechanismAndVersionOfEachRuntime) {
  // Without bin/java or a way to assemble in the background, Java 25 writes
  // a dynamic archive itself.
  const std::tuple<int, bool, bool, M> cases[] = {{12, true, true, M::kNone},
                                                  {13, true, true, M::kArchiveAtExit},
                                                  {18, false, false, M::kArchiveAtExit},
                                                  {19, true, true, M::kDynamicArchive},
                                                  {24, true, true, M::kDynamicArchive},
                                                  {25, true, true, M::kAotCache},
                                                  {25, false, true, M::kDynamicArchive},
                                                  {25, true, false, M::kDynamicArchive}};
  for (const auto& [version, launcher, background, expected] : cases) {
    EXPECT_EQ(ChooseStartupCacheMechanism(version, launcher, background), expected) << version;
  }
  // The "release" file's own rules are tested with the Java home; here the
  // old "1." form and what is not a version.
  TempDir home;
  EXPECT_EQ(ReadRuntimeFeatureVersion(home.path()), 0);  // no release file
  for (const auto& [text, expected] : {std::pair<std::string, int>{"JAVA_VERSION=\"25.0.3\"\n", 25},
                                       {"JAVA_VERSION=\"1.8.0_402\"\r\n", 8},
                                       {"JAVA_VERSION=\"\"\n", 0}}) {
    WriteFile(home / u"release", text);
    EXPECT_EQ(ReadRuntimeFeatureVersion(home.path()), expected) << text;
  }
}

// A key that stayed the same for the same input is shown by the plan tests below.
TEST(StartupCacheTest, TheNameChangesWithEverythingThatInvalidatesTheCache) {
  StartupCacheInput base;
  base.jvmLibraryPath = u"/jdk/lib/server/libjvm.so";
  base.classPath = u"/app/a.jar:";
  base.vmParameters = {u"-Xmx64m", u"-Dx=1"};
  const std::u16string original = StartupCacheKey(base, 100, 5, M::kArchiveAtExit);
  EXPECT_EQ(original.size(), 16u);
  EXPECT_NE(StartupCacheKey(base, 101, 5, M::kArchiveAtExit), original);
  EXPECT_NE(StartupCacheKey(base, 100, 6, M::kArchiveAtExit), original);
  EXPECT_NE(StartupCacheKey(base, 100, 5, M::kDynamicArchive), original);
  const std::function<void(StartupCacheInput&)> changes[] = {
      [](auto& i) { i.jvmLibraryPath = u"/jdk2/lib/server/libjvm.so"; },
      [](auto& i) { i.classPath += u"/app/b.jar:"; },
      [](auto& i) { i.vmParameters[0] = u"-Xmx65m"; },
      [](auto& i) { std::swap(i.vmParameters[0], i.vmParameters[1]); },
      [](auto& i) { i.vmParameters = {u"-Xmx64m -Dx=1"}; }};
  for (size_t n = 0; n < std::size(changes); ++n) {
    StartupCacheInput input = base;
    changes[n](input);
    EXPECT_NE(StartupCacheKey(input, 100, 5, M::kArchiveAtExit), original) << n;
  }
}

TEST(StartupCacheTest, TheFolderIsPerUserAndPerApplication) {
  ScopedEnvironment environment;
  TempDir base;
  environment.Set(kPathSeparator == u'\\' ? u"LOCALAPPDATA" : u"XDG_CACHE_HOME", base.path());
  // Characters that cannot be in a folder name leave the product name.
  EXPECT_EQ(StartupCacheFolder(u"My: App?", u"X1"), JoinPath(base.path(), u"My App/X1"));
  // Without a name of its own it would share (and tidy) the user's whole cache folder.
  EXPECT_EQ(StartupCacheFolder(u"?", u""), u"");
}

// A Java home with a JVM library, its base archive, bin/java and one JAR as
// the class path.
class StartupCachePlanTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char16_t* file :
         {u"lib/server/libjvm.so", u"lib/server/classes.jsa", u"bin/java", u"bin/java.exe"}) {
      WriteFile(home_ / file, "x");
    }
    WriteFile(app_ / u"a.jar", "jar");
    input_ = {17,
              cache_ / u"Product/Code",
              home_ / u"lib/server/libjvm.so",
              home_.path(),
              app_ / u"a.jar" + kSearchPathSeparator,
              {u"-Xmx64m"}};
  }

  TempDir home_, app_, cache_;
  StartupCacheInput input_;
};

// Creating, using and replacing on a new key are shown end to end with the
// installed JDKs; here the folder's other files.
TEST_F(StartupCachePlanTest, OnlyTheJvmsFinishedFileOfTheKeyIsUsedAndOtherFilesStay) {
  const StartupCachePlan plan = PlanStartupCache(input_);
  EXPECT_EQ(plan.options,
            (TextList{u"-XX:ArchiveClassesAtExit=" + plan.pendingFile, u"-Xlog:cds*=off"}));
  // A JVM that ended without writing its file (a full disk) is not asked
  // again at the next start, only after a day.
  WriteFile(plan.pendingFile, "");
  FinishStartupCache(plan);
  EXPECT_EQ(PlanStartupCache(input_).decision,
            u"startup cache skipped: writing it failed less than a day ago");
  const std::u16string marker = plan.stem + u".failed";
  ASSERT_TRUE(FileExists(marker));
  fs::last_write_time(fs::path(ToUtf8(marker)),
                      fs::file_time_type::clock::now() - std::chrono::hours(25));
  EXPECT_FALSE(PlanStartupCache(input_).pendingFile.empty());

  // Unrelated files and the file of another start with another key, still
  // at work, stay when the JVM's file is finished; a file whose writer has
  // gone (a killed start) blocks nothing and goes.
  const std::u16string runtime = StartupCacheRuntimeId(input_.jvmLibraryPath);
  const std::u16string busy =
      runtime + u"-0123456789abcdef." + ToDecimal(CurrentProcessId()) + u".jsa.tmp";
  WriteFile(input_.cacheFolder + kPathSeparator + u"unrelated.txt", "kept");
  WriteFile(input_.cacheFolder + kPathSeparator + busy, "busy");
  WriteFile(plan.stem + u".999999.jsa.tmp", "left by a killed start");
  const StartupCachePlan again = PlanStartupCache(input_);
  ASSERT_FALSE(again.pendingFile.empty()) << ToUtf8(again.decision);
  WriteFile(again.pendingFile, "archive");
  FinishStartupCache(again);
  const std::u16string finished = plan.stem + u"-7.jsa";
  EXPECT_EQ(PlanStartupCache(input_).decision, u"startup cache used: " + finished);
  EXPECT_EQ(
      CacheFiles(input_.cacheFolder),
      (TextList{busy, finished.substr(finished.rfind(kPathSeparator) + 1), u"unrelated.txt"}));
  // A name without a size or with another extension is not a finished file.
  RemoveFilePath(finished);
  WriteFile(plan.stem + u"-x.jsa", "x");
  WriteFile(plan.stem + u"-1.aot", "x");
  EXPECT_FALSE(PlanStartupCache(input_).pendingFile.empty());
}

// A product used with two runtimes in turn keeps a cache for each; a new
// key replaces only the older file of its own runtime.
TEST_F(StartupCachePlanTest, EachRuntimeKeepsItsNewestFile) {
  TempDir otherHome;
  for (const char16_t* file : {u"lib/server/libjvm.so", u"lib/server/classes.jsa"})
    WriteFile(otherHome / file, "x");
  StartupCacheInput other = input_;
  other.jvmLibraryPath = otherHome / u"lib/server/libjvm.so";
  other.javaHome = otherHome.path();
  const auto create = [](const StartupCacheInput& input) {
    const StartupCachePlan plan = PlanStartupCache(input);
    WriteFile(plan.pendingFile, "archive");
    FinishStartupCache(plan);
    return plan.stem + u"-7.jsa";
  };
  const std::u16string first = create(input_);
  const std::u16string second = create(other);
  EXPECT_EQ(PlanStartupCache(input_).file, first);
  EXPECT_EQ(PlanStartupCache(other).file, second);
  StartupCacheInput changed = input_;
  changed.vmParameters = {u"-Xmx65m"};
  const std::u16string third = create(changed);
  EXPECT_FALSE(FileExists(first));
  EXPECT_TRUE(FileExists(second));
  EXPECT_TRUE(FileExists(third));
}

TEST_F(StartupCachePlanTest, EveryObstacleSkipsTheCacheWithAReason) {
  WriteFile(app_ / u"classes/x.class", "x");
  WriteFile(cache_ / u"file", "not a folder");
  std::u16string other;
  const std::pair<std::function<void(StartupCacheInput&)>, std::u16string> cases[] = {
      {[](auto& i) { i.featureVersion = 11; }, u"Java 11 keeps no application archive"},
      {[](auto& i) { i.featureVersion = 0; }, u"the runtime's version is unknown"},
      {[](auto& i) { i.cacheFolder.clear(); }, u"no per-user cache folder"},
      {[](auto& i) { i.vmParameters.push_back(u"-Xshare:off"); },
       u"the VM parameters already set -Xshare:"},
      {[&](auto& i) { i.classPath = app_ / u"classes" + kSearchPathSeparator + i.classPath; },
       u"the class path holds a folder"},
      {[&](auto& i) { i.jvmLibraryPath = app_ / u"none"; }, u"the JVM library cannot be read"},
      {[&](auto& i) {
         WriteFile(i.jvmLibraryPath = app_ / u"libjvm.so", "without classes.jsa beside it");
       },
       u"the runtime has no base class-data archive"},
      {[&](auto& i) { i.cacheFolder = cache_ / u"file/App"; },
       u"the cache folder cannot be created"},
      // The other start's JVM is writing its own file of the same key.
      {[&](auto& i) {
         WriteFile(
             other = PlanStartupCache(i).stem + u"." + ToDecimal(CurrentProcessId()) + u".jsa.tmp",
             "half");
       },
       u"another start is creating it"},
  };
  for (const auto& [change, reason] : cases) {
    StartupCacheInput input = input_;
    change(input);
    const StartupCachePlan plan = PlanStartupCache(input);
    EXPECT_EQ(plan.decision, u"startup cache skipped: " + reason);
    EXPECT_TRUE(plan.options.empty() && plan.pendingFile.empty()) << ToUtf8(reason);
  }
  EXPECT_TRUE(FileExists(other));  // the other start's file stays
}

}  // namespace
}  // namespace javelin::test
