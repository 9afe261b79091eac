#include <windows.h>

#include <gtest/gtest.h>

#include "e2e/e2e_support.h"
#include "jvm/java_vm_host.h"
#include "jvm/main_class.h"
#include "launcher/launcher.h"

namespace javelin::test {
namespace {

// Forwarded single-instance calls wait for this event: it is set only when
// main is about to run.
TEST(MainStartedEvent, IsSetOnlyWhenMainIsAboutToRun) {
  TempDir dir;
  const std::u16string library = InstallTestJvm(dir.path(), u"noboot");
  for (bool hasMain : {true, false}) {
    SetTestJvmControl(library, hasMain ? "" : "nomain\n");
    HANDLE event = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    {
      Launcher launcher;
      launcher.jvmLibraryPath = library;
      launcher.mainClass = u"com/example/App";
      launcher.mainStartedEvent = event;
      testing::internal::CaptureStdout();
      testing::internal::CaptureStderr();
      EXPECT_TRUE(LoadJvmLibrary(launcher));
      EXPECT_EQ(JavaMainThread(&launcher), hasMain ? 0u : 1u);
      testing::internal::GetCapturedStdout();
      testing::internal::GetCapturedStderr();
      launcher.mainStartedEvent = nullptr;  // the test's to close
    }
    EXPECT_EQ(WaitForSingleObject(event, 0) == WAIT_OBJECT_0, hasMain);
    CloseHandle(event);
  }
}

}  // namespace
}  // namespace javelin::test
