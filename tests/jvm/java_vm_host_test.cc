#include "jvm/java_vm_host.h"

#include <gtest/gtest.h>

#include <regex>

#include "e2e/e2e_support.h"
#include "jvm/dynamic_library.h"
#include "jvm/main_class.h"
#include "jvm/test_jvm_fixture.h"

namespace javelin::test {
namespace {

using JavaVmHostTest = TestJvmFixture;

class RecordingListener : public VmExitListener {
 public:
  void OnVmExit(int32_t code) override { exits.push_back(code); }
  void OnVmAbort() override { ++aborts; }
  std::vector<int32_t> exits;
  int aborts = 0;
};

// The test JVM's way to fire the hooks the launcher handed over.
template <typename Function>
Function TestJvmExport(const char* name) {
  uint32_t error = 0;
  void* library = LoadDynamicLibrary(TestJvmPath(), error);
  return reinterpret_cast<Function>(FindLibrarySymbol(library, name));
}

TEST_F(JavaVmHostTest, TheEntryPointsAreResolvedAndTheBootLoaderLookupIsOptional) {
  testing::internal::CaptureStdout();
  auto full = LoadedLauncher();
  auto withoutBootLoader = LoadedLauncher(u"noboot");
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "");

  EXPECT_NE(full->createJavaVm, nullptr);
  EXPECT_NE(full->getDefaultJavaVmInitArgs, nullptr);
  EXPECT_NE(full->findClassFromBootLoader, nullptr);
  EXPECT_NE(withoutBootLoader->createJavaVm, nullptr);
  EXPECT_NE(withoutBootLoader->getDefaultJavaVmInitArgs, nullptr);
  EXPECT_EQ(withoutBootLoader->findClassFromBootLoader, nullptr);
}

TEST_F(JavaVmHostTest, ALibraryWithoutACreationEntryPointFailsWithMessage212) {
  const std::regex report(
      "Error: Windows Fehler: Kann CreateJavaVM JNI nicht finden \\(Fehlernummer = -?[0-9]+\\)\\.\n \n");
  for (const std::u16string variant : {u"nocreate", u"nodefaults"}) {
    Launcher launcher;
    launcher.jvmLibraryPath = TestJvmVariantPath(variant);
    testing::internal::CaptureStdout();
    EXPECT_FALSE(LoadJvmLibrary(launcher));
    const std::string output = testing::internal::GetCapturedStdout();
    EXPECT_TRUE(std::regex_match(output, report)) << output;
  }
}

TEST_F(JavaVmHostTest, AFileThatDoesNotLoadFailsWithMessage222NamingIt) {
  const std::u16string notALibrary = dir_ / u"home/lib/server/libjvm.so";
  WriteFile(notALibrary, "this is not a shared library\n");
  const std::u16string missing = dir_ / u"nowhere/jvm.dll";
  for (const std::u16string& path : {notALibrary, missing}) {
    Launcher launcher;
    launcher.jvmLibraryPath = path;
    testing::internal::CaptureStdout();
    EXPECT_FALSE(LoadJvmLibrary(launcher));
    const std::string output = testing::internal::GetCapturedStdout();
    const std::string prefix = "Error: Konnte Java VM Bibliothek: " + ToUtf8(path) + " (Fehlernummer= ";
    EXPECT_EQ(output.substr(0, prefix.size()), prefix);
    EXPECT_TRUE(std::regex_match(output.substr(prefix.size()), std::regex("-?[0-9]+\\) nicht laden\\.\n \n")))
        << output;
    EXPECT_EQ(launcher.createJavaVm, nullptr);
  }
}

TEST_F(JavaVmHostTest, TheDefaultStackSizeIsTheJvmsJdk11Default) {
  auto launcher = LoadedLauncher();
  EXPECT_EQ(DefaultThreadStackSize(*launcher), 1024u * 1024u);
  EXPECT_TRUE(HasLine(Log(), "default-init-args version=0x10001"));
}

TEST_F(JavaVmHostTest, TheJvmGetsTheOptionsInOrderThenTheAbortAndExitHooks) {
  {
    auto launcher = LoadedLauncher();
    launcher->jvmOptions = {"-Dfirst=1", "-Dname=J\xC3\xBCrgen M\xC3\xBCller", "-Xss2m"};
    ASSERT_TRUE(CreateJvm(*launcher));
    EXPECT_NE(launcher->javaVm, nullptr);
    EXPECT_NE(launcher->jniEnv, nullptr);
  }
  {
    auto launcher = LoadedLauncher();
    ASSERT_TRUE(CreateJvm(*launcher));
  }
  const std::vector<std::string> expected = {
      "create version=0x10002 options=5 ignoreUnrecognized=0",
      "option -Dfirst=1",
      "option -Dname=J\\xC3\\xBCrgen M\\xC3\\xBCller",
      "option -Xss2m",
      "hook abort",
      "hook exit",
      "destroy",
      // An empty option list still carries the two hooks.
      "create version=0x10002 options=2 ignoreUnrecognized=0",
      "hook abort",
      "hook exit",
      "destroy",
  };
  EXPECT_EQ(Log(), expected);
}

TEST_F(JavaVmHostTest, EveryCreationFailureIsReportedWithItsReason) {
  const char* reasons[] = {"unbekannt", "Thread von der VM getrennt", "JNI Versionsfehler",
                           "Arbeitsspeicher", "VM bereits erzeugt", "Argumente"};
  for (int code = -1; code >= -6; --code) {
    SetControl("create=" + std::to_string(code) + "\n");
    auto launcher = LoadedLauncher();
    testing::internal::CaptureStdout();
    EXPECT_FALSE(CreateJvm(*launcher));
    const std::string output = testing::internal::GetCapturedStdout();
    EXPECT_EQ(output.rfind("Error: JNI Fehler: konnte die Java VM nicht erzeugen\nReason: ", 0), 0u) << output;
    EXPECT_NE(output.find(reasons[-code - 1]), std::string::npos) << output;
    EXPECT_EQ(output.substr(output.size() - 4), ".\n \n");
    // Nothing is left for the teardown to destroy.
    EXPECT_EQ(launcher->javaVm, nullptr);
    EXPECT_EQ(launcher->jniEnv, nullptr);
  }
}

TEST_F(JavaVmHostTest, TheHooksReachTheListenerOfTheProcessLauncher) {
  auto exitHook = TestJvmExport<void(JNICALL*)(jint)>("TestJvm_CallExitHook");
  auto abortHook = TestJvmExport<void(JNICALL*)()>("TestJvm_CallAbortHook");
  ASSERT_NE(exitHook, nullptr);
  ASSERT_NE(abortHook, nullptr);

  RecordingListener listener;
  auto launcher = LoadedLauncher();
  launcher->vmExitListener = &listener;
  ASSERT_TRUE(CreateJvm(*launcher));
  exitHook(0);
  exitHook(-7);
  abortHook();
  EXPECT_EQ(listener.exits, (std::vector<int32_t>{0, -7}));
  EXPECT_EQ(listener.aborts, 1);

  // Outside service mode no listener is registered and the hooks do nothing.
  launcher->vmExitListener = nullptr;
  exitHook(3);
  abortHook();
  EXPECT_EQ(listener.exits.size(), 2u);
  EXPECT_EQ(listener.aborts, 1);
}

TEST_F(JavaVmHostTest, JavaStringsHoldExactlyTheUtf16UnitsOfTheText) {
  auto launcher = LoadedLauncher();
  ASSERT_TRUE(CreateJvm(*launcher));
  const std::u16string texts[] = {
      u"",
      u"plain text",
      u"Gr\u00FC\u00DFe \u4E2D\u6587",
      u"\U0001F600 outside the BMP",
      std::u16string(u"nul\0inside", 10),
      std::u16string(1, char16_t(0xD800)) + u"lone surrogate",
  };
  for (const std::u16string& text : texts) {
    EXPECT_NE(NewJavaString(launcher->jniEnv, text), nullptr);
  }
  const std::vector<std::string> log = Log();
  for (const std::u16string& text : texts) {
    EXPECT_TRUE(HasLine(log, "string " + EscapeUnits(text))) << EscapeUnits(text);
  }
  EXPECT_TRUE(HasLine(log, "string \\uD83D\\uDE00 outside the BMP"));
}

TEST_F(JavaVmHostTest, RedirectedFilesAreCreatedInNewFoldersAndTruncatedUnlessAppending) {
  const std::u16string output = dir_ / u"logs/new/deeper/app.out";
  const std::u16string errors = dir_ / u"other/app.err";
  auto run = [&](bool append) {
    auto launcher = LoadedLauncher();
    launcher->outputFile = output;
    launcher->errorFile = errors;
    launcher->outputAppend = append;
    launcher->errorAppend = append;
    launcher->arguments = {u"one", u"two"};
    ASSERT_TRUE(CreateJvm(*launcher));
    ASSERT_TRUE(InvokeMainClass(*launcher));
  };
  run(false);
  EXPECT_EQ(ReadFile(output), "main: 2 argument(s)\n");
  EXPECT_EQ(ReadFile(errors), "main: done\n");
  run(false);
  EXPECT_EQ(ReadFile(output), "main: 2 argument(s)\n");
  run(true);
  EXPECT_EQ(ReadFile(output), "main: 2 argument(s)\nmain: 2 argument(s)\n");
  EXPECT_EQ(ReadFile(errors), "main: done\nmain: done\n");
  const std::vector<std::string> log = Log();
  EXPECT_TRUE(HasLine(log, "open " + EscapeUnits(output) + " truncate"));
  EXPECT_TRUE(HasLine(log, "open " + EscapeUnits(output) + " append"));
  EXPECT_TRUE(HasLine(log, "setOut file"));
  EXPECT_TRUE(HasLine(log, "setErr file"));
}

TEST_F(JavaVmHostTest, ARedirectionThatCannotOpenItsFileIsDescribedAndTheLaunchGoesOn) {
  WriteFile(dir_ / u"blocker", "a file where a folder would have to be");
  auto launcher = LoadedLauncher();
  launcher->outputFile = dir_ / u"blocker/app.out";
  testing::internal::CaptureStdout();
  testing::internal::CaptureStderr();
  EXPECT_TRUE(CreateJvm(*launcher));
  EXPECT_TRUE(InvokeMainClass(*launcher));
  const std::string output = testing::internal::GetCapturedStdout();
  const std::string errors = testing::internal::GetCapturedStderr();
  // No launcher message; the JVM describes the exception; main's output
  // stays on the original stream.
  EXPECT_EQ(output, "main: 0 argument(s)\n");
  EXPECT_NE(errors.find("Exception in thread \"main\" java.io.FileNotFoundException"), std::string::npos)
      << errors;
  EXPECT_FALSE(HasLine(Log(), "setOut file"));
}

TEST_F(JavaVmHostTest, OutputAndErrorFileNamesWithPicturesShareOneInstant) {
  auto launcher = LoadedLauncher();
  launcher->outputFile = dir_ / u"run_%HHmmssL%.out";
  launcher->errorFile = dir_ / u"run_%HHmmssL%.err";
  ASSERT_TRUE(CreateJvm(*launcher));
  std::string outputName, errorName;
  for (const std::string& line : Log()) {
    if (line.rfind("open ", 0) != 0) continue;
    const std::string name = line.substr(5, line.rfind(' ') - 5);
    (name.find(".out") != std::string::npos ? outputName : errorName) = name;
  }
  ASSERT_FALSE(outputName.empty());
  ASSERT_FALSE(errorName.empty());
  EXPECT_EQ(outputName.find('%'), std::string::npos);
  EXPECT_EQ(outputName.substr(0, outputName.size() - 4), errorName.substr(0, errorName.size() - 4));
  EXPECT_TRUE(std::regex_search(outputName, std::regex("run_[0-9]{7,9}\\.out$"))) << outputName;
}

}  // namespace
}  // namespace javelin::test
