#include "jvm/java_vm_host.h"

#include <gtest/gtest.h>

namespace javelin {
namespace {

std::vector<std::pair<std::string, void*>> givenOptions;

jint JNICALL RecordAndRefuse(JavaVM**, void**, void* arguments) {
  const JavaVMInitArgs* init = static_cast<const JavaVMInitArgs*>(arguments);
  for (jint i = 0; i < init->nOptions; ++i) {
    givenOptions.emplace_back(init->options[i].optionString, init->options[i].extraInfo);
  }
  return JNI_ENOMEM;
}

struct RecordingListener : VmExitListener {
  void OnVmExit(int32_t code) override { exits.push_back(code); }
  void OnVmAbort() override { ++aborts; }
  std::vector<int32_t> exits;
  int aborts = 0;
};

// The order of the options and the failure message are checked end to end
// with the test JVM; here the hooks meet the listener.
TEST(JavaVmHost, TheExitAndAbortHooksReachTheRegisteredListener) {
  JvmEntryPoints entryPoints;
  entryPoints.createJavaVm = RecordAndRefuse;
  JvmSession session(entryPoints);
  testing::internal::CaptureStdout();
  EXPECT_FALSE(session.Create(LaunchPlan()));
  testing::internal::GetCapturedStdout();
  EXPECT_EQ(session.vm(), nullptr);
  ASSERT_EQ(givenOptions.size(), 2u);
  ASSERT_EQ(givenOptions[0].first + " " + givenOptions[1].first, "abort exit");
  const VmAbortHook abortHook = reinterpret_cast<VmAbortHook>(givenOptions[0].second);
  const VmExitHook exitHook = reinterpret_cast<VmExitHook>(givenOptions[1].second);

  exitHook(3);  // without a listener (outside service mode) nothing happens
  RecordingListener listener;
  SetVmExitListener(&listener);
  exitHook(0);
  exitHook(-7);
  abortHook();
  SetVmExitListener(nullptr);
  EXPECT_EQ(listener.exits, (std::vector<int32_t>{0, -7}));
  EXPECT_EQ(listener.aborts, 1);
}

}  // namespace
}  // namespace javelin
