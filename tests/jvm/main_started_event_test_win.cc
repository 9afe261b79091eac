#include <windows.h>

#include <gtest/gtest.h>

#include "jvm/test_jvm_fixture.h"

namespace javelin::test {
namespace {

using MainStartedEventTest = TestJvmFixture;

// Whether the event was set while the JVM thread ran for `launcher`.
bool EventSetDuringRun(Launcher& launcher, uint32_t expectedResult) {
  HANDLE event = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  launcher.mainStartedEvent = event;
  EXPECT_EQ(TestJvmFixture::RunJavaMainThread(launcher), expectedResult);
  // The event belongs to this test, not to the launcher's teardown.
  launcher.mainStartedEvent = nullptr;
  const bool set = WaitForSingleObject(event, 0) == WAIT_OBJECT_0;
  CloseHandle(event);
  return set;
}

TEST_F(MainStartedEventTest, TheEventIsSetOnlyWhenMainIsAboutToRun) {
  {
    auto launcher = LoadedLauncher();
    EXPECT_TRUE(EventSetDuringRun(*launcher, 0));
  }
  SetControl("missing=com/example/App\n");
  testing::internal::CaptureStdout();
  testing::internal::CaptureStderr();
  {
    auto launcher = LoadedLauncher(u"noboot");
    EXPECT_FALSE(EventSetDuringRun(*launcher, 1));
  }
  testing::internal::GetCapturedStdout();
  testing::internal::GetCapturedStderr();
}

}  // namespace
}  // namespace javelin::test
