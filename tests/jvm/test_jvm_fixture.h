// Runs the JVM host in this process against the test JVM, with a control
// file and a log of its own for each test.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "launcher/launcher.h"
#include "support/test_support.h"

namespace javelin::test {

class TestJvmFixture : public ::testing::Test {
 public:
  // JavaMainThread on a thread of its own, as the launch sequence runs it.
  static uint32_t RunJavaMainThread(Launcher& launcher);

 protected:
  void SetUp() override;
  void TearDown() override;

  // Instructions for the test JVM's next creation (see tests/testjvm).
  void SetControl(const std::string& text);
  // Everything the test JVM recorded so far.
  std::vector<std::string> Log() const;

  // A launcher whose JVM library (the test JVM or a variant) is loaded and
  // whose main class is com/example/App. The launcher's teardown destroys
  // any JVM it still holds.
  std::unique_ptr<Launcher> LoadedLauncher(const std::u16string& variant = u"");

  TempDir dir_;
};

}  // namespace javelin::test
