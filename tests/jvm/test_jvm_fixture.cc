#include "jvm/test_jvm_fixture.h"

#include "e2e/e2e_support.h"
#include "jvm/java_vm_host.h"
#include "jvm/main_class.h"
#include "launcher/jvm_thread.h"

namespace javelin::test {

void TestJvmFixture::SetUp() {
  ASSERT_FALSE(TestJvmPath().empty());
  SetProcessEnvironment(u"JAVELIN_TESTJVM_LOG", dir_ / u"testjvm.log");
  SetProcessEnvironment(u"JAVELIN_TESTJVM_CONTROL", dir_ / u"testjvm.control");
}

void TestJvmFixture::TearDown() {
  SetProcessEnvironment(u"JAVELIN_TESTJVM_LOG", std::nullopt);
  SetProcessEnvironment(u"JAVELIN_TESTJVM_CONTROL", std::nullopt);
}

void TestJvmFixture::SetControl(const std::string& text) { WriteFile(dir_ / u"testjvm.control", text); }

std::vector<std::string> TestJvmFixture::Log() const { return ReadLines(dir_ / u"testjvm.log"); }

std::unique_ptr<Launcher> TestJvmFixture::LoadedLauncher(const std::u16string& variant) {
  auto launcher = std::make_unique<Launcher>();
  launcher->jvmLibraryPath = TestJvmVariantPath(variant);
  launcher->mainClass = u"com/example/App";
  EXPECT_TRUE(LoadJvmLibrary(*launcher));
  return launcher;
}

uint32_t TestJvmFixture::RunJavaMainThread(Launcher& launcher) {
  uint32_t result = 99;
  const bool started = RunOnNewThread(
      0, [](void* argument) { return JavaMainThread(static_cast<Launcher*>(argument)); }, &launcher, result);
  EXPECT_TRUE(started);
  return result;
}

}  // namespace javelin::test
