// Who may put a file where the startup cache looks: only the user. Runs as
// root in CI, where "another user" is a file or folder given to an unused
// uid with chown.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "base/file_system.h"
#include "base/scoped_environment.h"
#include "jvm/startup_cache.h"
#include "support/test_support.h"

namespace javelin::test {
namespace {

const uid_t kOtherUid = 4242;

mode_t ModeOf(const std::u16string& path) {
  struct stat status;
  return stat(ToUtf8(path).c_str(), &status) == 0 ? status.st_mode & 07777 : 0;
}

TEST(StartupCacheOwnershipTest, OnlyTheUsersOwnPrivateFilesReachTheJvm) {
  if (geteuid() != 0) GTEST_SKIP() << "giving a file to another uid needs root";
  ScopedEnvironment environment;
  TempDir home, app, cacheHome;
  for (const char16_t* file : {u"lib/server/libjvm.so", u"lib/server/classes.jsa"})
    WriteFile(home / file, "x");
  WriteFile(app / u"a.jar", "jar");
  environment.Set(u"XDG_CACHE_HOME", cacheHome.path());
  const std::u16string folder = StartupCacheFolder(u"Product", u"Code");
  const StartupCacheInput input{17,          folder,         home / u"lib/server/libjvm.so",
                                home.path(), app / u"a.jar", {}};

  // Under umask 000 the application's folders are still the user's alone;
  // one that an older start left open to everybody is closed.
  const mode_t oldMask = umask(0);
  MakeDirectories(cacheHome / u"Product");
  chmod(ToUtf8(cacheHome / u"Product").c_str(), 0777);
  const StartupCachePlan plan = PlanStartupCache(input);
  umask(oldMask);
  EXPECT_EQ(ModeOf(cacheHome / u"Product"), 0700u);
  EXPECT_EQ(ModeOf(folder), 0700u);
  WriteFile(plan.pendingFile, "archive");
  FinishStartupCache(plan);
  const std::u16string archive = plan.stem + u"-7.jsa";
  ASSERT_EQ(PlanStartupCache(input).file, archive);

  // An archive of another user, or a link in its place, is passed over
  // (and a new one is made).
  ASSERT_EQ(chown(ToUtf8(archive).c_str(), kOtherUid, kOtherUid), 0);
  EXPECT_NE(PlanStartupCache(input).file, archive);
  WriteFile(app / u"elsewhere.jsa", "archive");
  ASSERT_EQ(symlink(ToUtf8(app / u"elsewhere.jsa").c_str(), ToUtf8(archive).c_str()), 0);
  EXPECT_NE(PlanStartupCache(input).file, archive);

  // A folder of another user, or one that others can write and the user
  // cannot close, is not used at all.
  ASSERT_EQ(chown(ToUtf8(folder).c_str(), kOtherUid, kOtherUid), 0);
  const StartupCachePlan foreign = PlanStartupCache(input);
  EXPECT_TRUE(foreign.options.empty());
  EXPECT_EQ(foreign.decision, u"startup cache skipped: the cache folder \"" + folder +
                                  u"\" is passed over: it belongs to another user");
}

}  // namespace
}  // namespace javelin::test
