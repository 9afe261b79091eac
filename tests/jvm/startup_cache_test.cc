// The startup cache's decisions: which mechanism a runtime gets, which file
// a launch uses or creates, and how the cache folder is kept tidy.
#include "jvm/startup_cache.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "base/file_system.h"
#include "base/scoped_environment.h"
#include "jvm/jvm_environment.h"
#include "support/test_support.h"

namespace javelin::test {
namespace {

bool HasPrefix(const TextList& options, const std::u16string& prefix) {
  for (const std::u16string& option : options) {
    if (option.compare(0, prefix.size(), prefix) == 0) return true;
  }
  return false;
}

TextList CacheFiles(const std::u16string& folder) {
  TextList names;
  FileFinder finder;
  for (bool found = finder.FindFile(JoinPath(folder, u"*")); found; found = finder.FindNext()) {
    if (!finder.IsDirectory()) names.push_back(finder.FileName());
  }
  std::sort(names.begin(), names.end());
  return names;
}

TEST(StartupCacheTest, EachRuntimeVersionGetsItsMechanism) {
  using M = StartupCacheMechanism;
  struct Case {
    int version;
    bool javaLauncher;
    bool background;
    M expected;
  } cases[] = {
      {0, true, true, M::kNone},           {8, true, true, M::kNone},
      {11, true, true, M::kNone},          {12, true, true, M::kNone},
      {13, true, true, M::kArchiveAtExit}, {17, true, true, M::kArchiveAtExit},
      {18, false, false, M::kArchiveAtExit}, {19, true, true, M::kDynamicArchive},
      {24, true, true, M::kDynamicArchive}, {25, true, true, M::kAotCache},
      {26, true, true, M::kAotCache},
      // Without bin/java or a way to assemble in the background, the JVM
      // writes a dynamic archive itself.
      {25, false, true, M::kDynamicArchive}, {25, true, false, M::kDynamicArchive},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ChooseStartupCacheMechanism(c.version, c.javaLauncher, c.background), c.expected)
        << c.version << " " << c.javaLauncher << " " << c.background;
  }
}

TEST(StartupCacheTest, FeatureVersionFromVersionNumbersAndReleaseFiles) {
  const std::pair<const char16_t*, int> versions[] = {
      {u"1.8.0_402", 8}, {u"9", 9}, {u"17.0.15", 17}, {u"25.0.3+9", 25}, {u"0", 0}};
  for (const auto& [text, expected] : versions) {
    EXPECT_EQ(FeatureVersion(ParseVersion(text, 0)), expected) << ToUtf8(text);
  }

  TempDir home;
  const std::pair<std::string, int> releases[] = {
      {"IMPLEMENTOR=\"Eclipse Adoptium\"\nJAVA_VERSION=\"25.0.3\"\nOS_NAME=\"Linux\"\n", 25},
      {"JAVA_VERSION=\"1.8.0_402\"\r\n", 8},
      {"JAVA_RUNTIME_VERSION=\"17.0.15+6\"\nJAVA_VERSION=\"17.0.15\"", 17},
      // Only the key itself counts, not one that ends in it.
      {"IMPLEMENTOR_JAVA_VERSION=\"21\"\n", 0},
      {"JAVA_VERSION=\"\"\n", 0},
      {"", 0},
  };
  for (const auto& [text, expected] : releases) {
    WriteFile(home / u"release", text);
    EXPECT_EQ(ReadRuntimeFeatureVersion(home.path()), expected) << text;
  }
  TempDir empty;
  EXPECT_EQ(ReadRuntimeFeatureVersion(empty.path()), 0);
}

TEST(StartupCacheTest, TheNameChangesWithEverythingThatInvalidatesTheCache) {
  StartupCacheInput base;
  base.jvmLibraryPath = u"/jdk/lib/server/libjvm.so";
  base.classPath = u"/app/a.jar:";
  base.vmParameters = {u"-Xmx64m", u"-Dx=1"};
  const auto key = [](const StartupCacheInput& input, uint64_t size = 100, int64_t time = 5,
                      StartupCacheMechanism mechanism = StartupCacheMechanism::kArchiveAtExit) {
    return StartupCacheKey(input, size, time, mechanism);
  };
  const std::u16string original = key(base);
  EXPECT_EQ(original.size(), 16u);
  EXPECT_EQ(key(base), original);  // stable

  std::vector<std::pair<const char*, std::u16string>> changed = {
      {"library size", key(base, 101)},
      {"library time", key(base, 100, 6)},
      {"mechanism", key(base, 100, 5, StartupCacheMechanism::kDynamicArchive)},
  };
  StartupCacheInput input = base;
  input.jvmLibraryPath = u"/jdk2/lib/server/libjvm.so";
  changed.emplace_back("library path", key(input));
  input = base;
  input.classPath = u"/app/a.jar:/app/b.jar:";
  changed.emplace_back("class path", key(input));
  input = base;
  input.vmParameters = {u"-Xmx65m", u"-Dx=1"};
  changed.emplace_back("parameter value", key(input));
  input = base;
  input.vmParameters = {u"-Dx=1", u"-Xmx64m"};
  changed.emplace_back("parameter order", key(input));
  input = base;
  input.vmParameters = {u"-Xmx64m -Dx=1"};
  changed.emplace_back("parameter split", key(input));
  for (const auto& [what, value] : changed) EXPECT_NE(value, original) << what;
}

TEST(StartupCacheTest, TheFolderIsPerUserAndPerApplication) {
  ScopedEnvironment environment;
  TempDir base;
  if (kPathSeparator == u'\\') {
    environment.Set(u"LOCALAPPDATA", base.path());
  } else {
    environment.Set(u"XDG_CACHE_HOME", base.path());
  }
  // Characters that cannot be in a folder name leave the product name.
  EXPECT_EQ(StartupCacheFolder(u"My: App?", u"X1"), JoinPath(base.path(), u"My App/X1"));
  EXPECT_EQ(StartupCacheFolder(u"App", u""), JoinPath(base.path(), u"App"));
  EXPECT_EQ(StartupCacheFolder(u"", u"X1"), JoinPath(base.path(), u"X1"));
  EXPECT_EQ(StartupCacheFolder(u"?", u""), u"");
  if (kPathSeparator == u'/') {
    environment.Set(u"XDG_CACHE_HOME", u"relative/cache");
    environment.Set(u"HOME", base.path());
    EXPECT_EQ(StartupCacheFolder(u"App", u"X1"), JoinPath(base.path(), u".cache/App/X1"));
  } else {
    environment.Set(u"LOCALAPPDATA", std::nullopt);
    EXPECT_EQ(StartupCacheFolder(u"App", u"X1"), u"");
  }
}

// A Java home with a JVM library, bin/java and one JAR as the class path.
class StartupCachePlanTest : public ::testing::Test {
 protected:
  void SetUp() override {
    WriteFile(home_ / u"lib/server/libjvm.so", "library");
    WriteFile(home_ / u"lib/server/classes.jsa", "base archive");
    WriteFile(home_ / u"bin/java", "launcher");
    WriteFile(home_ / u"bin/java.exe", "launcher");
    WriteFile(app_ / u"a.jar", "jar");
    input_.featureVersion = 17;
    input_.cacheFolder = cache_ / u"Product/Code";
    input_.jvmLibraryPath = home_ / u"lib/server/libjvm.so";
    input_.javaHome = home_.path();
    input_.classPath = app_ / u"a.jar" + kSearchPathSeparator;
    input_.vmParameters = {u"-Xmx64m"};
  }

  // What the JVM of a creating run leaves behind, finished by the launcher.
  std::u16string CreateArchive(const std::string& bytes) {
    const StartupCachePlan plan = PlanStartupCache(input_);
    EXPECT_FALSE(plan.pendingFile.empty()) << ToUtf8(plan.decision);
    WriteFile(plan.pendingFile, bytes);
    FinishStartupCache(plan);
    return plan.stem + u"-" + ToDecimal(static_cast<long long>(bytes.size())) + u".jsa";
  }

  TempDir home_;
  TempDir app_;
  TempDir cache_;
  StartupCacheInput input_;
};

TEST_F(StartupCachePlanTest, AFirstStartCreatesAndLaterStartsUseTheArchive) {
  struct Case {
    int version;
    std::u16string createOption;
    std::u16string useOption;
    std::u16string silence;
  } cases[] = {
      {13, u"-XX:ArchiveClassesAtExit=", u"-XX:SharedArchiveFile=", u"-Xlog:cds*=off"},
      {17, u"-XX:ArchiveClassesAtExit=", u"-XX:SharedArchiveFile=", u"-Xlog:cds*=off"},
      {21, u"-XX:+AutoCreateSharedArchive", u"-XX:SharedArchiveFile=", u"-Xlog:cds*=off"},
  };
  for (const Case& c : cases) {
    input_.featureVersion = c.version;
    input_.cacheFolder = cache_ / (u"v" + ToDecimal(c.version));
    const StartupCachePlan first = PlanStartupCache(input_);
    EXPECT_TRUE(HasPrefix(first.options, c.createOption)) << c.version;
    EXPECT_EQ(first.options.back(), c.silence);
    EXPECT_NE(first.decision.find(u"created"), std::u16string::npos) << ToUtf8(first.decision);
    // The JVM writes to a name of this process only, in the cache folder.
    EXPECT_EQ(first.pendingFile.compare(0, input_.cacheFolder.size(), input_.cacheFolder), 0);
    EXPECT_NE(first.pendingFile.find(ToDecimal(CurrentProcessId())), std::u16string::npos);

    const std::u16string archive = CreateArchive("archive of " + std::to_string(c.version));
    ASSERT_TRUE(FileExists(archive)) << ToUtf8(archive);
    const StartupCachePlan later = PlanStartupCache(input_);
    EXPECT_EQ(later.options, (TextList{c.useOption + archive, c.silence})) << c.version;
    EXPECT_EQ(later.file, archive);
    EXPECT_TRUE(later.pendingFile.empty());
    EXPECT_EQ(later.decision, u"startup cache used: " + archive);
  }
}

TEST_F(StartupCachePlanTest, Java25RecordsAConfigurationOrWritesADynamicArchive) {
  input_.featureVersion = 25;
  const StartupCachePlan plan = PlanStartupCache(input_);
  if (CanAssembleAotCacheInBackground()) {
    EXPECT_EQ(plan.mechanism, StartupCacheMechanism::kAotCache);
    EXPECT_EQ(plan.options, (TextList{u"-XX:AOTMode=record", u"-XX:AOTConfiguration=" + plan.pendingFile,
                                      u"-XX:+UnlockDiagnosticVMOptions", u"-XX:-DisplayVMOutput",
                                      u"-Xlog:aot*=off,cds*=off"}));
    EXPECT_EQ(plan.javaLauncher, home_ / u"bin/java");
    EXPECT_EQ(plan.creationOptions, (TextList{u"-Djava.class.path=" + input_.classPath, u"-Xmx64m"}));

    // A finished cache of the key is used with -XX:AOTCache.
    const std::u16string cache = plan.stem + u"-5.aot";
    WriteFile(cache, "12345");
    EXPECT_EQ(PlanStartupCache(input_).options, (TextList{u"-XX:AOTCache=" + cache, u"-Xlog:aot*=off,cds*=off"}));
  } else {
    EXPECT_EQ(plan.mechanism, StartupCacheMechanism::kDynamicArchive);
    EXPECT_EQ(plan.options.back(), u"-Xlog:aot*=off,cds*=off");
  }
  // An AOT cache needs no base archive.
  if (CanAssembleAotCacheInBackground()) {
    TempDir bare;
    input_.jvmLibraryPath = bare / u"libjvm.so";
    WriteFile(input_.jvmLibraryPath, "library");
    EXPECT_EQ(PlanStartupCache(input_).mechanism, StartupCacheMechanism::kAotCache);
    input_.jvmLibraryPath = home_ / u"lib/server/libjvm.so";
  }
  // Without bin/java the JVM writes the archive itself.
  input_.javaHome = app_.path();
  EXPECT_EQ(PlanStartupCache(input_).mechanism, StartupCacheMechanism::kDynamicArchive);
}

TEST_F(StartupCachePlanTest, AnArchiveOfTheWrongSizeIsNeverOffered) {
  const std::u16string archive = CreateArchive("complete archive");
  // Cut short (a JDK 17 JVM would crash on it): removed and created anew.
  WriteFile(archive, "complete");
  StartupCachePlan plan = PlanStartupCache(input_);
  EXPECT_FALSE(plan.pendingFile.empty());
  EXPECT_FALSE(FileExists(archive));
  EXPECT_FALSE(HasPrefix(plan.options, u"-XX:SharedArchiveFile="));
  // A name without a size or with another extension is not a finished file.
  WriteFile(plan.stem + u"-x.jsa", "x");
  WriteFile(plan.stem + u"-1.aot", "x");
  plan = PlanStartupCache(input_);
  EXPECT_TRUE(plan.file.empty() || plan.file == plan.pendingFile);
}

TEST_F(StartupCachePlanTest, ANewArchiveReplacesTheApplicationsOldFiles) {
  const std::u16string old = CreateArchive("old archive");
  WriteFile(input_.cacheFolder + kPathSeparator + u"unrelated.txt", "kept");
  // Another start with another key, still at work: its file stays.
  WriteFile(input_.cacheFolder + kPathSeparator + u"0123456789abcdef.999.jsa.tmp", "busy");

  input_.classPath = app_ / u"a.jar" + kSearchPathSeparator + app_ / u"a.jar" + kSearchPathSeparator;
  const std::u16string fresh = CreateArchive("new archive!");
  EXPECT_NE(fresh, old);
  const size_t cut = fresh.rfind(kPathSeparator) + 1;
  EXPECT_EQ(CacheFiles(input_.cacheFolder),
            (TextList{u"0123456789abcdef.999.jsa.tmp", fresh.substr(cut), u"unrelated.txt"}));
}

TEST_F(StartupCachePlanTest, ARunWhoseJvmWroteNothingLeavesNoTrace) {
  const StartupCachePlan plan = PlanStartupCache(input_);
  FinishStartupCache(plan);  // the JVM ended before writing its archive
  EXPECT_TRUE(CacheFiles(input_.cacheFolder).empty());
  WriteFile(plan.pendingFile, "");
  FinishStartupCache(plan);
  EXPECT_TRUE(CacheFiles(input_.cacheFolder).empty());
  FinishStartupCache(StartupCachePlan{});  // nothing to do
}

TEST_F(StartupCachePlanTest, EveryObstacleSkipsTheCacheWithAReason) {
  WriteFile(app_ / u"classes/x.class", "x");
  WriteFile(cache_ / u"file", "not a folder");
  struct Case {
    const char* name;
    void (*change)(StartupCacheInput&, const std::u16string& app, const std::u16string& cache);
    std::u16string reason;
  } cases[] = {
      {"old runtime", [](StartupCacheInput& i, auto&, auto&) { i.featureVersion = 11; },
       u"Java 11 keeps no application archive"},
      {"unknown runtime", [](StartupCacheInput& i, auto&, auto&) { i.featureVersion = 0; },
       u"the runtime's version is unknown"},
      {"no folder", [](StartupCacheInput& i, auto&, auto&) { i.cacheFolder.clear(); },
       u"no per-user cache folder"},
      {"sharing configured",
       [](StartupCacheInput& i, auto&, auto&) { i.vmParameters.push_back(u"-Xshare:off"); },
       u"the VM parameters already set -Xshare:"},
      {"own archive",
       [](StartupCacheInput& i, auto&, auto&) { i.vmParameters.push_back(u"-XX:SharedArchiveFile=x.jsa"); },
       u"the VM parameters already set -XX:SharedArchiveFile="},
      {"class folder",
       [](StartupCacheInput& i, auto& app, auto&) {
         i.classPath = app + kPathSeparator + u"classes" + kSearchPathSeparator + i.classPath;
       },
       u"the class path holds a folder"},
      {"library gone",
       [](StartupCacheInput& i, auto& app, auto&) { i.jvmLibraryPath = app + kPathSeparator + u"none"; },
       u"the JVM library cannot be read"},
      {"no base archive",
       [](StartupCacheInput& i, auto& app, auto&) {
         i.jvmLibraryPath = app + kPathSeparator + u"libjvm.so";
         WriteFile(i.jvmLibraryPath, "library without classes.jsa beside it");
       },
       u"the runtime has no base class-data archive"},
      {"folder under a file",
       [](StartupCacheInput& i, auto&, auto& cache) { i.cacheFolder = cache + kPathSeparator + u"file/App"; },
       u"the cache folder cannot be created"},
  };
  for (const Case& c : cases) {
    StartupCacheInput input = input_;
    c.change(input, app_.path(), cache_.path());
    const StartupCachePlan plan = PlanStartupCache(input);
    EXPECT_EQ(plan.decision, u"startup cache skipped: " + c.reason) << c.name;
    EXPECT_TRUE(plan.options.empty()) << c.name;
    EXPECT_TRUE(plan.pendingFile.empty()) << c.name;
  }
}

TEST_F(StartupCachePlanTest, WhileAnotherStartCreatesTheCacheThisOneRunsWithout) {
  const StartupCachePlan first = PlanStartupCache(input_);
  // The other start's JVM is writing its own file of the same key.
  WriteFile(first.stem + u".1.jsa.tmp", "half");
  const StartupCachePlan second = PlanStartupCache(input_);
  EXPECT_EQ(second.decision, u"startup cache skipped: another start is creating it");
  EXPECT_TRUE(second.options.empty());
  EXPECT_TRUE(FileExists(first.stem + u".1.jsa.tmp"));
}

}  // namespace
}  // namespace javelin::test
