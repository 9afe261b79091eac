#include <windows.h>

#include <gtest/gtest.h>

#include "e2e/e2e_support.h"
#include "jvm/java_vm_host.h"
#include "jvm/main_class.h"
#include "launcher/launcher.h"

namespace javelin::test {
namespace {

// Forwarded single-instance calls wait for the first instance's named
// main-started event: it is set only when main is about to run.
TEST(MainStartedEvent, IsSetOnlyWhenMainIsAboutToRun) {
  TempDir dir;
  const std::u16string library = InstallTestJvm(dir.path(), u"noboot");
  for (bool hasMain : {true, false}) {
    SetTestJvmControl(library, hasMain ? "" : "nomain\n");
    const std::u16string modulePath = dir / (hasMain ? u"with-main.exe" : u"without-main.exe");
    const std::u16string eventName = ReplaceAll(modulePath, u'\\', u'_') + u"_upr_evt";
    Launcher launcher;
    launcher.jvmLibraryPath = library;
    launcher.mainClass = u"com/example/App";
    launcher.instanceGuard = InstanceGuard::SetupSingleInstance(modulePath, {}, {launcher.mainClass, true});
    ASSERT_EQ(launcher.instanceGuard->role(), InstanceGuard::Role::kFirst);
    HANDLE event = OpenEventW(SYNCHRONIZE, FALSE, reinterpret_cast<const wchar_t*>(eventName.c_str()));
    ASSERT_NE(event, nullptr);
    EXPECT_EQ(WaitForSingleObject(event, 0), static_cast<DWORD>(WAIT_TIMEOUT));
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    EXPECT_TRUE(LoadJvmLibrary(launcher));
    EXPECT_EQ(JavaMainThread(&launcher), hasMain ? 0u : 1u);
    testing::internal::GetCapturedStdout();
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(WaitForSingleObject(event, 0) == WAIT_OBJECT_0, hasMain);
    CloseHandle(event);
  }
}

}  // namespace
}  // namespace javelin::test
