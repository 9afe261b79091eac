#include "jvm/main_class.h"

#include <gtest/gtest.h>

#include "e2e/e2e_support.h"
#include "jvm/failure_check.h"
#include "jvm/java_vm_host.h"
#include "jvm/test_jvm_fixture.h"

namespace javelin::test {
namespace {

using MainClassTest = TestJvmFixture;

bool HasLineStartingWith(const std::vector<std::string>& lines, const std::string& start) {
  for (const std::string& line : lines) {
    if (line.rfind(start, 0) == 0) return true;
  }
  return false;
}

TEST_F(MainClassTest, TheLauncherHelperGetsTheDottedNameAndFindClassTheSlashedOne) {
  {
    auto launcher = LoadedLauncher();
    EXPECT_EQ(RunJavaMainThread(*launcher), 0u);
  }
  std::vector<std::string> log = Log();
  EXPECT_TRUE(HasLine(log, "bootloader sun/launcher/LauncherHelper"));
  EXPECT_TRUE(HasLine(log, "checkAndLoadMain printErrors=1 mode=1 com.example.App"));
  EXPECT_FALSE(HasLine(log, "findclass com/example/App"));
  EXPECT_TRUE(HasLine(log, "main com/example/App argc=0"));

  // Without the boot-loader lookup, and when the helper yields nothing, the
  // plain class lookup takes the name as configured.
  for (const char* control : {"", "helper=null\n"}) {
    WriteFile(dir_ / u"testjvm.log", "");
    SetControl(control);
    {
      auto launcher = LoadedLauncher(*control == 0 ? u"noboot" : u"");
      EXPECT_EQ(RunJavaMainThread(*launcher), 0u);
    }
    log = Log();
    EXPECT_TRUE(HasLine(log, "findclass com/example/App")) << control;
    EXPECT_TRUE(HasLine(log, "main com/example/App argc=0")) << control;
    EXPECT_FALSE(HasLine(log, "warning pending-exception main")) << control;
  }
}

TEST_F(MainClassTest, MainReceivesExactlyTheArgumentUnitsInOrder) {
  const TextList arguments = {u"plain", u"with blanks  inside", u"", u"Gr\u00FC\u00DFe",
                              u"\U0001F600", u"quote\"and\\backslash"};
  {
    auto launcher = LoadedLauncher();
    launcher->arguments = arguments;
    EXPECT_EQ(RunJavaMainThread(*launcher), 0u);
  }
  const std::vector<std::string> log = Log();
  const int main = LineIndex(log, "main com/example/App argc=6");
  ASSERT_GE(main, 0);
  for (size_t i = 0; i < arguments.size(); ++i) {
    EXPECT_EQ(log[main + 1 + i], "arg " + EscapeUnits(arguments[i]));
  }
  EXPECT_EQ(log[main + 3], "arg ");
  EXPECT_EQ(log[main + 4], "arg Gr\\u00FC\\u00DFe");
  EXPECT_EQ(log[main + 5], "arg \\uD83D\\uDE00");
}

TEST_F(MainClassTest, FailuresOnTheFallbackPathAreReportedAndLeaveTheJvmDestroyable) {
  struct Case {
    const char* control;
    std::string output;  // the launcher's report
    std::string errors;  // what the JVM describes
  };
  const Case cases[] = {
      {"missing=com/example/App\n", "Error: Konnte die Main class com/example/App nicht finden.\n \n",
       "Exception in thread \"main\" java.lang.NoClassDefFoundError: com/example/App\n"},
      {"nostring\n", "Error: Konnte die Main Class: com/example/App nicht laden.\n \n", ""},
      {"noutf\n", "", "Exception in thread \"main\" java.lang.OutOfMemoryError\n"},
      {"nomain\n", "",
       "Exception in thread \"main\" java.lang.NoSuchMethodError: com/example/App.main([Ljava/lang/String;)V\n"},
      {"nomain=quiet\n", "Error: Keine Main class in der angegebenen Klasse gefunden.\n \n", ""},
  };
  for (const Case& test : cases) {
    WriteFile(dir_ / u"testjvm.log", "");
    SetControl(test.control);
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    {
      auto launcher = LoadedLauncher(u"noboot");
      EXPECT_EQ(RunJavaMainThread(*launcher), 1u) << test.control;
      // The teardown destroys the JVM from this thread; the test JVM aborts
      // (as a real one would hang) if the JVM thread is still attached.
    }
    EXPECT_EQ(testing::internal::GetCapturedStdout(), test.output) << test.control;
    const std::string errors = testing::internal::GetCapturedStderr();
    if (!test.errors.empty()) {
      EXPECT_NE(errors.find(test.errors), std::string::npos) << errors;
    }
    const std::vector<std::string> log = Log();
    EXPECT_FALSE(HasLineStartingWith(log, "main ")) << test.control;
    EXPECT_LT(LineIndex(log, "detach 0"), LineIndex(log, "destroy")) << test.control;
    EXPECT_GE(LineIndex(log, "detach 0"), 0) << test.control;
  }
}

TEST_F(MainClassTest, AnExceptionOutOfMainIsLeftToTheJvmAndCountsAsSuccess) {
  for (bool failureCheck : {false, true}) {
    WriteFile(dir_ / u"testjvm.log", "");
    SetControl("main=throw\n");
    testing::internal::CaptureStderr();
    {
      auto launcher = LoadedLauncher();
      launcher->failureCheck = failureCheck;
      EXPECT_EQ(RunJavaMainThread(*launcher), 0u);
    }
    const std::string errors = testing::internal::GetCapturedStderr();
    const std::vector<std::string> log = Log();
    // Still pending when the thread detaches, so the JVM reports it once.
    EXPECT_GE(LineIndex(log, "uncaught java/lang/IllegalStateException"), 0);
    EXPECT_FALSE(HasLineStartingWith(log, "describe "));
    EXPECT_EQ(errors, "Exception in thread \"main\" java.lang.IllegalStateException: thrown by main\n");
    // With the failure check the trace is rendered (and not shown) first.
    EXPECT_EQ(HasLine(log, "printStackTrace java/lang/IllegalStateException"), failureCheck);
    EXPECT_FALSE(HasLineStartingWith(log, "warning pending-exception"));
  }
}

TEST_F(MainClassTest, TheRenderedStackTraceIsTheExceptionsOwnPrintout) {
  SetControl("missing=com/example/Gone\n");
  auto launcher = LoadedLauncher();
  ASSERT_TRUE(CreateJvm(*launcher));
  JNIEnv* env = launcher->jniEnv;
  EXPECT_EQ(env->FindClass("com/example/Gone"), nullptr);
  jthrowable exception = env->ExceptionOccurred();
  ASSERT_NE(exception, nullptr);
  env->ExceptionClear();
  EXPECT_EQ(RenderStackTrace(env, exception),
            u"java/lang/NoClassDefFoundError: com/example/Gone\n\tat testjvm.Main.main(Main.java)\n");
  EXPECT_EQ(env->ExceptionOccurred(), nullptr);
}

TEST_F(MainClassTest, AFailedDetachFailsTheLaunch) {
  SetControl("detach=-1\n");
  {
    auto launcher = LoadedLauncher();
    EXPECT_EQ(RunJavaMainThread(*launcher), 1u);
    EXPECT_NE(launcher->javaVm, nullptr);
  }
  const std::vector<std::string> log = Log();
  EXPECT_TRUE(HasLine(log, "main com/example/App argc=0"));
  EXPECT_LT(LineIndex(log, "detach -1"), LineIndex(log, "destroy"));
}

TEST_F(MainClassTest, InServiceModeTheJvmThreadDestroysTheJvmItself) {
  auto launcher = LoadedLauncher();
  launcher->serviceMode = true;
  EXPECT_EQ(RunJavaMainThread(*launcher), 0u);
  EXPECT_EQ(launcher->javaVm, nullptr);
  const std::vector<std::string> log = Log();
  EXPECT_LT(LineIndex(log, "detach 0"), LineIndex(log, "destroy"));
  EXPECT_GE(LineIndex(log, "detach 0"), 0);
}

TEST_F(MainClassTest, TheJvmThreadFailsWithoutALauncherOrAJvm) {
  EXPECT_EQ(JavaMainThread(nullptr), 1u);
  SetControl("create=-4\n");
  auto launcher = LoadedLauncher();
  testing::internal::CaptureStdout();
  EXPECT_EQ(RunJavaMainThread(*launcher), 1u);
  testing::internal::GetCapturedStdout();
  EXPECT_FALSE(HasLineStartingWith(Log(), "main "));
}

}  // namespace
}  // namespace javelin::test
