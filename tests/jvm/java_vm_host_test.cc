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

TEST(JavaVmHost, ThePlansOptionsComeFirstAndTheHooksReachTheRegisteredListener) {
  JvmEntryPoints entryPoints;
  entryPoints.createJavaVm = RecordAndRefuse;
  JvmSession session(entryPoints);
  LaunchPlan plan;
  plan.options = {"-Dfirst=1", "-Xss1m"};
  testing::internal::CaptureStdout();
  EXPECT_FALSE(session.Create(plan));
  const std::string output = testing::internal::GetCapturedStdout();
  EXPECT_NE(output.find("konnte die Java VM nicht erzeugen"), std::string::npos) << output;
  EXPECT_NE(output.find("Arbeitsspeicher"), std::string::npos) << output;
  EXPECT_EQ(session.vm(), nullptr);
  ASSERT_EQ(givenOptions.size(), 4u);
  EXPECT_EQ(givenOptions[0].first, "-Dfirst=1");
  EXPECT_EQ(givenOptions[1].first, "-Xss1m");
  ASSERT_EQ(givenOptions[2].first, "abort");
  ASSERT_EQ(givenOptions[3].first, "exit");
  const VmAbortHook abortHook = reinterpret_cast<VmAbortHook>(givenOptions[2].second);
  const VmExitHook exitHook = reinterpret_cast<VmExitHook>(givenOptions[3].second);

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
