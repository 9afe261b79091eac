// End-to-end launches with the machine's real JVM: the built launcher beside
// a real INI file starts launch.Probe, which prints what the program sees.
#include <gtest/gtest.h>

#include <algorithm>
#include <ctime>
#include <filesystem>
#include <regex>

#include "base/file_system.h"
#include "e2e/e2e_support.h"
#include "jvm/jvm_environment.h"

namespace javelin::test {
namespace {

// The rest of the first output line that starts with `prefix`.
std::string Value(const std::string& output, const std::string& prefix) {
  const size_t at = ("\n" + output).find("\n" + prefix);
  if (at == std::string::npos) return "<missing " + prefix + ">";
  const size_t from = at + prefix.size();
  return output.substr(from, output.find('\n', from) - from);
}

size_t Occurrences(const std::string& text, const std::string& part) {
  size_t count = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
  return count;
}

std::string Now() {
  char text[32];
  const std::time_t seconds = std::time(nullptr);
  std::strftime(text, sizeof text, "%Y%m%d-%H%M%S", std::localtime(&seconds));
  return text;
}

struct App {
  std::string mainClass;
  std::string jreLines;          // more lines of [Java Runtime Environment]
  std::string applicationLines;  // lines of [Application]
  TextList arguments;
  ProcessOptions options;
  std::string classPath;
  std::u16string home;
};

// An application of the compiled Java programs on the JDK.
App Program(const std::string& mainClass, const std::string& jreLines = "", const std::string& applicationLines = "",
            const TextList& arguments = {}, double timeoutSeconds = 60) {
  ProcessOptions options;
  options.timeoutSeconds = timeoutSeconds;
  return {mainClass, jreLines, applicationLines, arguments, options, ToUtf8(JavaClassesDir()), JdkHome()};
}

class RealJvmLaunchTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (JavaClassesDir().empty() || !FileExists(JvmLibraryInHome(JdkHome()))) GTEST_SKIP() << "no JDK";
  }

  ProcessResult Run(const App& app) {
    const std::u16string launcher =
        MakeApp(dir_.path(), u"app",
                "[Java Runtime Environment]\nJRE Path=" + ToUtf8(app.home) + "\nMain Class=" + app.mainClass +
                    "\n" + app.jreLines + "[Class Path]\nClass Path=" + app.classPath + "\n[Application]\n" +
                    app.applicationLines);
    return RunProgram(launcher, app.arguments, app.options);
  }

  TempDir dir_;
};

TEST_F(RealJvmLaunchTest, ArgumentsClassPathAndParametersReachTheProgram) {
  WriteFile(dir_ / u"app.jar", std::string("PK\x05\x06", 4) + std::string(18, '\0'));  // an empty jar
  App app = Program("launch.Probe");
  app.classPath += ";missing.jar;app.jar";
  app.jreLines = "Virtual Machine Parameters=-Dopt.path=\"" + ToUtf8(dir_ / u"with  blanks") +
                 "\"   -Dopt.home=%KV_JVM_HOME% -Xmx5:64:256P -Xms1:32:32P\n";
  app.applicationLines = "Cmd=a \"b c\" \"\" %OPT_CMD%\n";
  app.arguments = {u"plain", u"two  blanks", u"", u"Gr\u00FC\u00DFe \u4E2D\u6587", u"\U0001F600 \U0001D11E",
                   u"\"q\" \\"};
  app.options.environment[u"OPT_CMD"] = u"from-env";
  const ProcessResult result = Run(app);
  ASSERT_EQ(result.exitCode, 0) << result.output << result.errors;

  // The command-line arguments, then the "Cmd" tokens without the empty one.
  TextList expected = app.arguments;
  expected.insert(expected.end(), {u"a", u"b c", u"from-env"});
  EXPECT_EQ(result.output.substr(0, PrintedArguments(expected).size()), PrintedArguments(expected));

  // Relative entries are searched beside the launcher; a missing one
  // disappears (the whole search is checked with the test JVM).
  EXPECT_EQ(Value(result.output, "property java.class.path="),
            ToUtf8(JavaClassesDir() + kSearchPathSeparator + dir_ / u"app.jar"));

  // Quotes keep blanks and disappear, variables are expanded, percentage
  // heaps become kilobytes.
  EXPECT_EQ(Value(result.output, "property opt.path="), ToUtf8(dir_ / u"with  blanks"));
  EXPECT_EQ(Value(result.output, "property opt.home="), ToUtf8(JdkHome()));
  EXPECT_EQ(Value(result.output, "option -Xms"), "32768K");
  const long heap = std::stol("0" + Value(result.output, "option -Xmx"));
  EXPECT_GE(heap, 65536);
  EXPECT_LE(heap, 262144);
}

TEST_F(RealJvmLaunchTest, TheProgramSeesTheRuntimeInItsEnvironmentAndMainGetsTheXssStack) {
  App app = Program("launch.Probe");
  app.jreLines = "System Path=/opt/tools;/opt/more\nLibrary Path=native;%KV_JVM_HOME%/lib/server;\n"
                 "Virtual Machine Parameters=-Xss16m -Dprobe.action=depth\n";
  const std::u16string oldPath = dir_ / u"old/bin" + u":" + dir_ / u"old/sbin";
  app.options.environment[u"PATH"] = oldPath;
  const ProcessResult result = Run(app);
  ASSERT_EQ(result.exitCode, 0) << result.output << result.errors;
  EXPECT_EQ(result.output.substr(0, 7), "argc=0\n");  // an empty String[]
  EXPECT_EQ(Value(result.output, "env KV_JVM_PATH="), ToUtf8(JvmLibraryInHome(JdkHome())));
  EXPECT_EQ(Value(result.output, "env KV_JVM_HOME="), ToUtf8(JdkHome()));
  // The INI's ';' lists become ':' lists; the runtime's programs come last.
  EXPECT_EQ(Value(result.output, "env PATH="),
            ToUtf8(u"/opt/tools:/opt/more:" + oldPath + u":" + JoinPath(JdkHome(), u"bin")));
  // The configured value, the launcher's folder, "." and the old search path,
  // joined as written, then the runtime's lib folder.
  EXPECT_EQ(Value(result.output, "property java.library.path="),
            ToUtf8(u"native:" + JoinPath(JdkHome(), u"lib/server") + u":" + dir_.path() + u"/:.:" + oldPath +
                   JoinPath(JdkHome(), u"lib")));
  // Without the launcher's sizing main would get about as much as the
  // thread with 1 MiB.
  EXPECT_GT(std::stol("0" + Value(result.output, "main depth=")),
            4 * std::stol("0" + Value(result.output, "thread depth="))) << result.output;
}

TEST_F(RealJvmLaunchTest, EveryOutcomeOfTheProgramGivesItsExitCodeAndReport) {
  TempDir proxy;
  const bool haveProxy = !InstallProxyJvm(proxy.path()).empty();
  auto viaProxy = [&](App app) {
    app.home = proxy.path();
    return app;
  };
  // Started from the folder of the compiled programs with a class path that
  // does not hold them.
  auto fromTheirFolder = [&](App app) {
    app.classPath = ToUtf8(dir_.path());
    app.options.workingDirectory = JavaClassesDir();
    return app;
  };
  WriteFile(dir_ / u"file", "");
  const std::string action = "Virtual Machine Parameters=-Dprobe.action=";
  const struct {
    App app;
    int exitCode;
    std::string output;  // a regular expression for all of it
    std::string errors;  // a part that occurs exactly once
  } cases[] = {
      {Program("launch.Probe"), 0, "argc=0\n[\\s\\S]*", "main done"},
      {Program("launch.Probe", action + "exit:42\n"), 42, "argc=0\n[\\s\\S]*", ""},
      // An exception out of main is the JVM's to report, even with the
      // failure check.
      {Program("launch.Probe", action + "throw\n", "Failure Check=Yes\n"), 0, "argc=0\n[\\s\\S]*",
       "Exception in thread \"main\" java.lang.IllegalStateException: boom from main"},
      // The launcher waits for the non-daemon threads.
      {Program("launch.Probe", action + "thread\n"), 0, "argc=0\n[\\s\\S]*late from the non-daemon thread\n", ""},
      // A missing class or main: the JVM reports it and ends with 1.
      {Program("launch.Gone"), 1, "", "Could not find or load main class launch.Gone"},
      {Program("launch.NoMain"), 1, "", "Main method not found in class launch.NoMain"},
      // The class path has no empty entry: the current folder is not searched.
      {fromTheirFolder(Program("launch.Probe")), 1, "", "Could not find or load main class launch.Probe"},
      // An option the JVM refuses: message 213 with the reason.
      {Program("launch.Probe", "Virtual Machine Parameters=-XX:+NoSuchOptionInAnyJvm\n"), ExitCodeMinusOne(),
       "Error: JNI Fehler: konnte die Java VM nicht erzeugen\nReason: [^\n]+\\.\n \n", "NoSuchOptionInAnyJvm"},
      // An output file that cannot be opened is described; the launch goes on.
      {Program("launch.Probe", "", "Output File=" + ToUtf8(dir_ / u"file/out.txt") + "\n"), 0, "argc=0\n[\\s\\S]*",
       "java.io.FileNotFoundException"},
      // With an IBM JVM preferred the launcher stays after main; only
      // System.exit ends it.
      {Program("launch.Probe", "VM Provider=favor_ibm\n", "", {}, 3), 128 + 9, "argc=0\n[\\s\\S]*",
       "[killed after timeout]"},
      {Program("launch.Probe", "VM Provider=IBM\n" + action + "exit:7\n"), 7, "argc=0\n[\\s\\S]*", ""},
      // Without the boot-loader lookup the launcher loads the class itself
      // and reports its failures; the JVM can still be destroyed.
      {viaProxy(Program("launch.Probe", "", "", {u"x y"})), 0, "argc=1\narg=0078 0020 0079\n[\\s\\S]*", ""},
      {viaProxy(Program("launch.Gone")), ExitCodeMinusOne(),
       "Error: Konnte die Main class launch/Gone nicht finden\\.\n \n", "java.lang.NoClassDefFoundError: launch/Gone"},
      {viaProxy(Program("launch.NoMain")), ExitCodeMinusOne(), "", "java.lang.NoSuchMethodError"},
  };
  for (const auto& test : cases) {
    if (test.app.home != JdkHome() && !haveProxy) continue;
    SCOPED_TRACE(test.app.mainClass + " " + test.app.jreLines + test.app.applicationLines);
    const ProcessResult result = Run(test.app);
    EXPECT_EQ(result.exitCode, test.exitCode) << result.errors;
    EXPECT_TRUE(std::regex_match(result.output, std::regex(test.output))) << result.output;
    if (!test.errors.empty()) {
      EXPECT_EQ(Occurrences(result.errors, test.errors), 1u) << result.errors;
    }
  }
}

TEST_F(RealJvmLaunchTest, OutputAndErrorGoToFilesNamedByOneInstantTruncatedOrAppended) {
  TempDir logs;
  App app = Program("launch.Probe");
  app.options.environment[u"OPT_LOGS"] = logs.path();
  app.applicationLines = "Output File=%OPT_LOGS%/run/out_%yyyyMMdd-HHmmss%.log\n"
                         "Error File=%OPT_LOGS%/run/err_%yyyyMMdd-HHmmss%.log\n";
  const std::string before = Now();
  ProcessResult result = Run(app);
  const std::string after = Now();
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_EQ(result.output + result.errors, "");
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(ToUtf8(logs / u"run"))) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  ASSERT_EQ(names.size(), 2u);
  const std::string instant = names[0].substr(4, 15);
  EXPECT_EQ(names, (std::vector<std::string>{"err_" + instant + ".log", "out_" + instant + ".log"}));
  EXPECT_TRUE(before <= instant && instant <= after) << instant;
  EXPECT_EQ(ReadFile(logs / FromUtf8("run/" + names[0])), "main done\n");
  EXPECT_EQ(ReadFile(logs / FromUtf8("run/" + names[1])).substr(0, 7), "argc=0\n");

  // Existing files are truncated unless their append switch is "yes".
  WriteFile(logs / u"out.txt", "old\n");
  WriteFile(logs / u"err.txt", "old\n");
  app.applicationLines = "Output File=%OPT_LOGS%/out.txt\nError File=%OPT_LOGS%/err.txt\nError Append=yes\n";
  EXPECT_EQ(Run(app).exitCode, 0);
  EXPECT_EQ(ReadFile(logs / u"out.txt").substr(0, 7), "argc=0\n");
  EXPECT_EQ(ReadFile(logs / u"err.txt"), "old\nmain done\n");
}

}  // namespace
}  // namespace javelin::test
