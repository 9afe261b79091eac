// End-to-end launches: the built launcher beside a real INI file starts a
// Java class, with the machine's real JVM (Linux) or with the test JVM
// (Linux and Windows), and the test looks at what the process did.
#include <gtest/gtest.h>

#include <ctime>
#include <regex>

#include "base/text.h"
#include "e2e/e2e_support.h"
#include "support/test_support.h"

namespace javelin::test {
namespace {

struct AppConfig {
  std::u16string jrePath;
  std::string mainClass;
  std::u16string classPath;
  std::string jreExtra;          // more lines of [Java Runtime Environment]
  std::string applicationExtra;  // lines of [Application]
};

std::string IniText(const AppConfig& config) {
  return "[Java Runtime Environment]\n"
         "JRE Path=" + ToUtf8(config.jrePath) + "\n"
         "Main Class=" + config.mainClass + "\n" +
         config.jreExtra +
         "[Class Path]\n"
         "Class Path=" + ToUtf8(config.classPath) + "\n"
         "[Application]\n" +
         config.applicationExtra;
}

// The arguments as launch.PrintArgs prints them: UTF-16 units in hex.
std::string PrintedArguments(const TextList& arguments) {
  std::string text = "argc=" + std::to_string(arguments.size()) + "\n";
  for (const std::u16string& argument : arguments) {
    text += "arg=";
    for (size_t i = 0; i < argument.size(); ++i) {
      char unit[8];
      snprintf(unit, sizeof unit, i == 0 ? "%04X" : " %04X", static_cast<unsigned>(argument[i]));
      text += unit;
    }
    text += "\n";
  }
  return text;
}

size_t Occurrences(const std::string& text, const std::string& part) {
  size_t count = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
  return count;
}

// ---------------------------------------------------------------------------
// The machine's real JVM (Linux).

class RealJvmLaunchTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!RealJvmAvailable()) GTEST_SKIP() << "no JDK or compiled Java programs on this platform";
  }

  ProcessResult Launch(const std::string& mainClass, const TextList& arguments = {},
                       const std::string& jreExtra = "", const std::string& applicationExtra = "",
                       double timeoutSeconds = 60) {
    const std::u16string launcher = MakeApp(
        app_.path(), u"app", IniText({JdkHome(), mainClass, JavaClassesDir(), jreExtra, applicationExtra}));
    ProcessOptions options;
    options.timeoutSeconds = timeoutSeconds;
    return RunProgram(launcher, arguments, options);
  }

  TempDir app_;
};

TEST_F(RealJvmLaunchTest, MainReceivesTheCommandLineArgumentsUnitForUnit) {
  ProcessResult result = Launch("launch.PrintArgs");
  EXPECT_EQ(result.exitCode, 0) << result.errors;
  EXPECT_EQ(result.output, "argc=0\n");

  const TextList arguments = {u"plain", u"with two  blanks", u"", u"Gr\u00FC\u00DFe \u00E0 \u4E2D\u6587",
                              u"\U0001F600 and \U0001D11E", u"\"quoted\" \\ back"};
  result = Launch("launch.PrintArgs", arguments);
  EXPECT_EQ(result.exitCode, 0) << result.errors;
  EXPECT_EQ(result.output, PrintedArguments(arguments));
  EXPECT_NE(result.output.find("arg=D83D DE00 0020"), std::string::npos);
}

TEST_F(RealJvmLaunchTest, TheExitCodeFollowsMainAndSystemExit) {
  ProcessResult thrown = Launch("launch.Throws");
  EXPECT_EQ(thrown.exitCode, 0);
  EXPECT_EQ(thrown.output, "about to throw\n");
  EXPECT_NE(thrown.errors.find("Exception in thread \"main\" java.lang.IllegalStateException: boom from main"),
            std::string::npos)
      << thrown.errors;

  ProcessResult exited = Launch("launch.Exits", {u"42"});
  EXPECT_EQ(exited.exitCode, 42);
  EXPECT_EQ(exited.output, "exiting with 42\n");

  exited = Launch("launch.Exits", {u"0"});
  EXPECT_EQ(exited.exitCode, 0);
}

TEST_F(RealJvmLaunchTest, AMissingClassOrMainIsReportedByTheJvmWhichEndsWithOne) {
  ProcessResult missing = Launch("launch.DoesNotExist", {}, "", "", 30);
  EXPECT_EQ(missing.exitCode, 1) << missing.errors;
  EXPECT_NE(missing.errors.find("Could not find or load main class launch.DoesNotExist"), std::string::npos)
      << missing.errors;
  // The launcher's own messages belong to the plain class lookup only.
  EXPECT_EQ(missing.output, "");

  ProcessResult noMain = Launch("launch.NoMain", {}, "", "", 30);
  EXPECT_EQ(noMain.exitCode, 1) << noMain.errors;
  EXPECT_NE(noMain.errors.find("Main method not found in class launch.NoMain"), std::string::npos)
      << noMain.errors;
  EXPECT_EQ(noMain.output, "");
}

TEST_F(RealJvmLaunchTest, WithoutTheBootLoaderLookupAFailedLaunchEndsWithMinusOneInsteadOfHanging) {
  TempDir home;
  if (InstallProxyJvm(home.path()).empty()) GTEST_SKIP() << "no proxy JVM in this build";
  auto launch = [&](const std::string& mainClass, const TextList& arguments) {
    const std::u16string launcher =
        MakeApp(app_.path(), u"app", IniText({home.path(), mainClass, JavaClassesDir(), "", ""}));
    ProcessOptions options;
    options.timeoutSeconds = 30;
    return RunProgram(launcher, arguments, options);
  };

  // The plain class lookup finds the class on the class path.
  ProcessResult result = launch("launch.PrintArgs", {u"x y"});
  EXPECT_EQ(result.exitCode, 0) << result.errors;
  EXPECT_EQ(result.output, "argc=1\narg=0078 0020 0079\n");

  // Its failures are the launcher's to report; the JVM thread leaves the JVM
  // destroyable, so the teardown completes.
  result = launch("launch.DoesNotExist", {});
  EXPECT_EQ(result.exitCode, ExitCodeMinusOne()) << result.errors;
  EXPECT_EQ(result.output, "Error: Konnte die Main class launch/DoesNotExist nicht finden.\n \n");
  EXPECT_NE(result.errors.find("java.lang.NoClassDefFoundError: launch/DoesNotExist"), std::string::npos)
      << result.errors;

  result = launch("launch.NoMain", {});
  EXPECT_EQ(result.exitCode, ExitCodeMinusOne()) << result.errors;
  EXPECT_EQ(result.output, "");
  EXPECT_NE(result.errors.find("java.lang.NoSuchMethodError"), std::string::npos) << result.errors;
}

TEST_F(RealJvmLaunchTest, TheLauncherWaitsForNonDaemonThreads) {
  ProcessResult result = Launch("launch.NonDaemon");
  EXPECT_EQ(result.exitCode, 0) << result.errors;
  EXPECT_EQ(result.output, "main returned\nlate from the non-daemon thread\n");
}

TEST_F(RealJvmLaunchTest, AnUnrecognisedVmOptionFailsTheCreationWithItsReason) {
  ProcessResult result = Launch("launch.PrintArgs", {},
                                "Virtual Machine Parameters=-XX:+NoSuchOptionInAnyJvm\n", "", 30);
  EXPECT_EQ(result.exitCode, ExitCodeMinusOne()) << result.errors;
  EXPECT_TRUE(std::regex_match(
      result.output,
      std::regex("Error: JNI Fehler: konnte die Java VM nicht erzeugen\nReason: [^\n]+\\.\n \n")))
      << result.output;
  EXPECT_EQ(result.output.find("argc="), std::string::npos);
  // The JVM names the option itself on the error stream.
  EXPECT_NE(result.errors.find("NoSuchOptionInAnyJvm"), std::string::npos) << result.errors;
}

TEST_F(RealJvmLaunchTest, OutputAndErrorGoToFilesInNewFoldersTruncatedOrAppended) {
  TempDir logs;
  const std::u16string output = logs / u"new/deeper/out.txt";
  const std::u16string errors = logs / u"other/err.txt";
  const std::string redirect = "Output File=" + ToUtf8(output) + "\nError File=" + ToUtf8(errors) + "\n";

  ProcessResult result = Launch("launch.Streams", {}, "", redirect);
  EXPECT_EQ(result.exitCode, 0) << result.errors;
  EXPECT_EQ(result.output, "");
  EXPECT_EQ(result.errors, "");
  EXPECT_EQ(ReadFile(output), "to standard output\n");
  EXPECT_EQ(ReadFile(errors), "to standard error\n");

  // Truncated again without the append switches ...
  EXPECT_EQ(Launch("launch.Streams", {}, "", redirect).exitCode, 0);
  EXPECT_EQ(ReadFile(output), "to standard output\n");
  // ... appended with them ("yes" exactly).
  EXPECT_EQ(Launch("launch.Streams", {}, "", redirect + "Output Append=yes\nError Append=yes\n").exitCode, 0);
  EXPECT_EQ(ReadFile(output), "to standard output\nto standard output\n");
  EXPECT_EQ(ReadFile(errors), "to standard error\nto standard error\n");
}

TEST_F(RealJvmLaunchTest, ADateTimePictureNamesTheOutputFile) {
  TempDir logs;
  auto today = [] {
    char text[16];
    const std::time_t now = std::time(nullptr);
    std::strftime(text, sizeof text, "%Y%m%d", std::localtime(&now));
    return std::string(text);
  };
  const std::string before = today();
  ProcessResult result =
      Launch("launch.Streams", {}, "", "Output File=" + ToUtf8(logs / u"run_%yyyyMMdd%.log") + "\n");
  const std::string after = today();
  EXPECT_EQ(result.exitCode, 0) << result.errors;
  const bool named = ReadFile(logs / FromUtf8("run_" + before + ".log")) == "to standard output\n" ||
                     ReadFile(logs / FromUtf8("run_" + after + ".log")) == "to standard output\n";
  EXPECT_TRUE(named);
}

TEST_F(RealJvmLaunchTest, TheFailureCheckLeavesTheUncaughtReportToTheJvm) {
  ProcessResult result = Launch("launch.Throws", {}, "", "Failure Check=Yes\n");
  EXPECT_EQ(result.exitCode, 0) << result.errors;
  EXPECT_EQ(Occurrences(result.errors, "boom from main"), 1u) << result.errors;
}

TEST_F(RealJvmLaunchTest, AnIbmProviderKeepsTheLauncherAliveAfterMain) {
  ProcessResult favorIbm = Launch("launch.PrintArgs", {}, "VM Provider=favor_ibm\n", "", 4);
  EXPECT_EQ(favorIbm.output, "argc=0\n");
  EXPECT_NE(favorIbm.errors.find("[killed after timeout]"), std::string::npos) << favorIbm.errors;

  // Only System.exit ends it then.
  ProcessResult exited = Launch("launch.Exits", {u"7"}, "VM Provider=IBM\n", "", 30);
  EXPECT_EQ(exited.exitCode, 7) << exited.errors;

  ProcessResult favorSun = Launch("launch.PrintArgs", {}, "VM Provider=favor_sun\n", "", 30);
  EXPECT_EQ(favorSun.exitCode, 0) << favorSun.errors;
}

// ---------------------------------------------------------------------------
// The test JVM: fault injection, and the launches the Windows build can make
// under Wine.

class TestJvmLaunchTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (TestJvmPath().empty()) GTEST_SKIP() << "no test JVM in this build";
  }

  // Installs the test JVM (or a variant) into a Java home with `control` as
  // its instructions, and launches com.example.App through it.
  ProcessResult Launch(const std::u16string& variant, const std::string& control,
                       const TextList& arguments = {}, const std::string& jreExtra = "",
                       const std::string& applicationExtra = "") {
    const std::u16string home = root_ / u"home";
    library_ = InstallTestJvm(home, variant);
    WriteFile(TestJvmControlBeside(library_), control);
    WriteFile(TestJvmLogBeside(library_), "");
    const std::u16string launcher =
        MakeApp(root_ / u"app", u"app",
                IniText({home, "com.example.App", root_ / u"app/classes", jreExtra, applicationExtra}));
    MakeDirectories(root_ / u"app/classes");
    ProcessOptions options;
    options.timeoutSeconds = 60;
    return WithUnixLineEnds(RunProgram(launcher, arguments, options));
  }

  std::vector<std::string> Log() const { return ReadLines(TestJvmLogBeside(library_)); }

  TempDir root_;
  std::u16string library_;
};

TEST_F(TestJvmLaunchTest, ANormalLaunchPassesTheOptionsAndTheArguments) {
  const TextList arguments = {u"first", u"with blanks", u"Gr\u00FC\u00DFe", u"\U0001F600"};
  ProcessResult result = Launch(u"", "", arguments, "Virtual Machine Parameters=-Dlaunch.mode=test -Xss1m\n");
  EXPECT_EQ(result.exitCode, 0) << result.output << result.errors;
  EXPECT_EQ(result.output, "main: 4 argument(s)\n");
  EXPECT_EQ(result.errors, "main: done\n");

  const std::vector<std::string> log = Log();
  ASSERT_FALSE(log.empty());
  const int create = LineIndex(log, "create version=0x10002 options=5 ignoreUnrecognized=0");
  ASSERT_GE(create, 0) << log[0];
  const std::string classPath = ToUtf8(root_ / u"app/classes");
  EXPECT_EQ(log[create + 1].rfind("option -Djava.class.path=" + EscapeBytes(classPath), 0), 0u) << log[create + 1];
  EXPECT_EQ(log[create + 2], "option -Dlaunch.mode=test");
  EXPECT_EQ(log[create + 3].rfind("option -Xss", 0), 0u);
  EXPECT_EQ(log[create + 4], "hook abort");
  EXPECT_EQ(log[create + 5], "hook exit");
  EXPECT_TRUE(HasLine(log, "checkAndLoadMain printErrors=1 mode=1 com.example.App"));

  const int main = LineIndex(log, "main com/example/App argc=4");
  ASSERT_GE(main, 0);
  for (size_t i = 0; i < arguments.size(); ++i) {
    EXPECT_EQ(log[main + 1 + i], "arg " + EscapeUnits(arguments[i]));
  }
  EXPECT_EQ(log[main + 4], "arg \\uD83D\\uDE00");
  // The JVM thread detached before the teardown destroyed the JVM.
  EXPECT_LT(LineIndex(log, "detach 0"), LineIndex(log, "destroy"));
  EXPECT_GE(LineIndex(log, "detach 0"), 0);
}

TEST_F(TestJvmLaunchTest, EachCreationFailureEndsWithMessage213AndItsReason) {
  const char* reasons[] = {"unbekannt", "Thread von der VM getrennt", "JNI Versionsfehler",
                           "Arbeitsspeicher", "VM bereits erzeugt", "Argumente"};
  for (int code = -1; code >= -6; --code) {
    ProcessResult result = Launch(u"", "create=" + std::to_string(code) + "\n");
    EXPECT_EQ(result.exitCode, ExitCodeMinusOne());
    EXPECT_EQ(result.output.rfind("Error: JNI Fehler: konnte die Java VM nicht erzeugen\nReason: ", 0), 0u)
        << result.output;
    EXPECT_NE(result.output.find(reasons[-code - 1]), std::string::npos) << result.output;
    EXPECT_FALSE(HasLine(Log(), "main com/example/App argc=0"));
  }
}

TEST_F(TestJvmLaunchTest, ALibraryThatIsNoJvmEndsWithMessage212Or222) {
  for (const std::u16string variant : {u"nocreate", u"nodefaults"}) {
    ProcessResult result = Launch(variant, "");
    EXPECT_EQ(result.exitCode, ExitCodeMinusOne());
    EXPECT_TRUE(std::regex_match(
        result.output,
        std::regex("Error: Windows Fehler: Kann CreateJavaVM JNI nicht finden \\(Fehlernummer = -?[0-9]+\\)\\.\n \n")))
        << result.output;
  }

  const std::u16string home = root_ / u"broken-home";
  const std::u16string library = JvmLibraryInHome(home);
  WriteFile(library, "not a shared library");
  WriteFile(JoinPath(home, RuntimeMarkerInHome()), "");
  const std::u16string launcher =
      MakeApp(root_ / u"broken", u"app", IniText({home, "com.example.App", root_ / u"broken", "", ""}));
  ProcessResult result = WithUnixLineEnds(RunProgram(launcher, {}));
  EXPECT_EQ(result.exitCode, ExitCodeMinusOne());
  const std::string prefix = "Error: Konnte Java VM Bibliothek: " + ToUtf8(library) + " (Fehlernummer= ";
  EXPECT_EQ(result.output.rfind(prefix, 0), 0u) << result.output;
  EXPECT_TRUE(std::regex_search(result.output, std::regex("\\(Fehlernummer= -?[0-9]+\\) nicht laden\\.\n \n$")))
      << result.output;
}

TEST_F(TestJvmLaunchTest, WithoutTheBootLoaderExportFindClassLoadsTheMainClass) {
  ProcessResult result = Launch(u"noboot", "", {u"x"});
  EXPECT_EQ(result.exitCode, 0) << result.output << result.errors;
  std::vector<std::string> log = Log();
  EXPECT_TRUE(HasLine(log, "findclass com/example/App"));
  EXPECT_FALSE(HasLine(log, "checkAndLoadMain printErrors=1 mode=1 com.example.App"));
  EXPECT_TRUE(HasLine(log, "main com/example/App argc=1"));

  // Its failures carry the launcher's messages and still end with -1
  // instead of a JVM that can never be destroyed.
  result = Launch(u"noboot", "missing=com/example/App\n");
  EXPECT_EQ(result.exitCode, ExitCodeMinusOne()) << result.errors;
  EXPECT_EQ(result.output, "Error: Konnte die Main class com/example/App nicht finden.\n \n");
  EXPECT_NE(result.errors.find("java.lang.NoClassDefFoundError: com/example/App"), std::string::npos);
  log = Log();
  EXPECT_LT(LineIndex(log, "detach 0"), LineIndex(log, "destroy"));

  result = Launch(u"noboot", "nomain=quiet\n");
  EXPECT_EQ(result.exitCode, ExitCodeMinusOne()) << result.errors;
  EXPECT_EQ(result.output, "Error: Keine Main class in der angegebenen Klasse gefunden.\n \n");
  log = Log();
  EXPECT_LT(LineIndex(log, "detach 0"), LineIndex(log, "destroy"));
}

TEST_F(TestJvmLaunchTest, AFailedDetachEndsWithMinusOne) {
  ProcessResult result = Launch(u"", "detach=-1\n");
  EXPECT_EQ(result.exitCode, ExitCodeMinusOne()) << result.errors;
  EXPECT_EQ(result.output, "main: 0 argument(s)\n");
  EXPECT_TRUE(HasLine(Log(), "detach -1"));
}

TEST_F(TestJvmLaunchTest, SystemExitEndsTheProcessWithTheProgramsCode) {
  ProcessResult result = Launch(u"", "main=exit:42\n");
  EXPECT_EQ(result.exitCode, 42) << result.errors;
  const std::vector<std::string> log = Log();
  EXPECT_TRUE(HasLine(log, "exit 42"));
  EXPECT_FALSE(HasLine(log, "destroy"));
}

TEST_F(TestJvmLaunchTest, RedirectedOutputLandsInANewFolderNamedByThePicture) {
  const std::u16string logs = root_ / u"logs/deeper";
  ProcessResult result = Launch(u"", "", {u"a", u"b"}, "",
                                "Output File=" + ToUtf8(JoinPath(logs, u"out_%yyyy%.txt")) +
                                    "\nError File=" + ToUtf8(JoinPath(logs, u"err.txt")) + "\n");
  EXPECT_EQ(result.exitCode, 0) << result.errors;
  EXPECT_EQ(result.output, "");
  const std::time_t now = std::time(nullptr);
  const std::string year = std::to_string(std::localtime(&now)->tm_year + 1900);
  EXPECT_EQ(ReadFile(JoinPath(logs, FromUtf8("out_" + year + ".txt"))), "main: 2 argument(s)\n");
  EXPECT_EQ(ReadFile(JoinPath(logs, u"err.txt")), "main: done\n");
}

}  // namespace
}  // namespace javelin::test
