// The JVM thread's body with the test JVM loaded into this process.
#include "jvm/main_class.h"

#include <gtest/gtest.h>

#include "e2e/e2e_support.h"

namespace javelin::test {
namespace {

// Forwarded single-instance calls wait for the main-started signal: it comes
// only when main is about to run, and a service's JVM is gone after main.
TEST(MainClass, MainStartingIsSignalledOnlyWhenMainIsAboutToRun) {
  if (TestJvmPath().empty()) GTEST_SKIP() << "no test JVM in this build";
  TempDir dir;
  const std::u16string library = InstallTestJvm(dir.path(), u"noboot");
  for (const bool hasMain : {true, false}) {
    SetTestJvmControl(library, hasMain ? "" : "nomain\n");
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    const std::optional<JvmEntryPoints> entryPoints = LoadJvmLibrary(library);
    ASSERT_TRUE(entryPoints);
    JvmSession session(*entryPoints);
    int signalled = 0;
    MainInvocation invocation;
    invocation.mainClass = u"com/example/App";
    invocation.destroyAfterMain = true;
    invocation.onMainStarting = [&signalled] { ++signalled; };
    EXPECT_EQ(JavaMainThread(session, LaunchPlan(), invocation), hasMain ? 0u : 1u);
    testing::internal::GetCapturedStdout();
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(signalled, hasMain ? 1 : 0);
    EXPECT_EQ(session.vm() == nullptr, hasMain);
  }
}

}  // namespace
}  // namespace javelin::test
