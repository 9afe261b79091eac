// End-to-end: the launcher beside a real INI file assembles the JVM's
// options, the Java program's arguments, its environment and its output
// files. The real JVM (Linux) shows what a Java program sees; the test JVM
// (Linux and Windows) records the exact option list.
#include <gtest/gtest.h>

#include <algorithm>
#include <ctime>
#include <filesystem>
#include <regex>

#include "base/file_system.h"
#include "base/text.h"
#include "e2e/e2e_support.h"
#include "jvm/jvm_environment.h"
#include "support/test_support.h"

namespace javelin::test {
namespace {

const std::u16string kS(1, kSearchPathSeparator);

// A relative path as this platform writes it ('/' or '\').
std::u16string Relative(const std::u16string& path) { return JoinPath(u"", path); }

// The smallest valid jar: an empty zip archive.
const std::string kEmptyJar = std::string("PK\x05\x06", 4) + std::string(18, '\0');

std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines;
  for (size_t start = 0; start < text.size();) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    lines.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  return lines;
}

std::vector<std::string> LinesStartingWith(const std::vector<std::string>& lines,
                                           const std::string& prefix) {
  std::vector<std::string> found;
  for (const std::string& line : lines) {
    if (line.rfind(prefix, 0) == 0) found.push_back(line.substr(prefix.size()));
  }
  return found;
}

// The value of the first line "prefix..." or "<missing>".
std::string Value(const std::vector<std::string>& lines, const std::string& prefix) {
  const std::vector<std::string> found = LinesStartingWith(lines, prefix);
  return found.empty() ? "<missing>" : found[0];
}

// A class path cut into entries; the last one must be followed by the
// separator.
TextList ClassPathEntries(const std::u16string& classPath) {
  TextList entries;
  EXPECT_FALSE(classPath.empty());
  if (classPath.empty()) return entries;
  EXPECT_EQ(classPath.back(), kSearchPathSeparator) << ToUtf8(classPath);
  size_t start = 0;
  for (size_t at = classPath.find(kSearchPathSeparator); at != std::u16string::npos;
       at = classPath.find(kSearchPathSeparator, start)) {
    entries.push_back(classPath.substr(start, at - start));
    start = at + 1;
  }
  return entries;
}

// ---------------------------------------------------------------------------
// The machine's real JVM (Linux).

class RealJvmOptionsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!RealJvmAvailable()) GTEST_SKIP() << "no JDK or compiled Java programs on this platform";
    WriteFile(app_ / u"lib/a.jar", kEmptyJar);
    WriteFile(app_ / u"lib/b.jar", kEmptyJar);
    WriteFile(app_ / u"app.jar", kEmptyJar);
  }

  ProcessResult Launch(const std::string& mainClass, const std::string& classPath,
                       const std::string& jreLines, const std::string& applicationLines,
                       const TextList& arguments = {}, ProcessOptions options = {}) {
    const std::u16string launcher =
        MakeApp(app_.path(), u"app",
                "[Java Runtime Environment]\n"
                "JRE Path=" + ToUtf8(JdkHome()) + "\n"
                "Main Class=" + mainClass + "\n" + jreLines +
                "[Class Path]\n"
                "Class Path=" + classPath + "\n"
                "[Application]\n" + applicationLines);
    options.timeoutSeconds = 60;
    return RunProgram(launcher, arguments, options);
  }

  TempDir app_;
};

TEST_F(RealJvmOptionsTest, ClassPathParametersAndCmdArgumentsReachTheProgram) {
  const std::string classPath = ToUtf8(JavaClassesDir()) + ";lib/*.jar;%KV_JVM_HOME%/lib/jrt-fs.jar;"
                                "missing.jar;app.jar;/absent/x.jar";
  const std::string parameters =
      "Virtual Machine Parameters=-Dopt.path=\"" + ToUtf8(app_ / u"with  blanks/dir") +
      "\"   -Dopt.home=%KV_JVM_HOME% -Xmx5:64:256P -Xms1:32:32P -Xss2m\n";
  ProcessOptions options;
  options.environment[u"OPT_CMD"] = u"from-env";
  const ProcessResult result = Launch("options.ShowOptions", classPath, parameters,
                                      "Cmd=a \"b c\" \"\" %OPT_CMD%\n", {u"x", u"y z"}, options);
  ASSERT_EQ(result.exitCode, 0) << result.output << result.errors;
  const std::vector<std::string> out = SplitLines(result.output);

  // Command-line arguments first, then the "Cmd" tokens; the empty quoted
  // token is dropped.
  EXPECT_EQ(LinesStartingWith(out, "arg "),
            (std::vector<std::string>{"x", "y z", "a", "b c", "from-env"}));

  // Absolute entries as written, wildcards and relative entries beside the
  // launcher, a missing relative entry dropped, a missing absolute one kept.
  const TextList entries = ClassPathEntries(FromUtf8(Value(out, "property java.class.path=")));
  ASSERT_EQ(entries.size(), 6u);
  EXPECT_EQ(entries[0], JavaClassesDir());
  TextList jars{entries[1], entries[2]};
  std::sort(jars.begin(), jars.end());
  EXPECT_EQ(jars, (TextList{app_ / u"lib/a.jar", app_ / u"lib/b.jar"}));
  EXPECT_EQ(entries[3], JoinPath(JdkHome(), u"lib/jrt-fs.jar"));
  EXPECT_EQ(entries[4], app_ / u"app.jar");
  EXPECT_EQ(entries[5], u"/absent/x.jar");

  // Quotes protect blanks and disappear; variables are expanded.
  EXPECT_EQ(Value(out, "property opt.path="), ToUtf8(app_ / u"with  blanks/dir"));
  EXPECT_EQ(Value(out, "property opt.home="), ToUtf8(JdkHome()));

  // Percentage heaps reach the JVM in kilobytes.
  const std::vector<std::string> jvmOptions = LinesStartingWith(out, "option ");
  auto has = [&](const std::string& option) {
    return std::find(jvmOptions.begin(), jvmOptions.end(), option) != jvmOptions.end();
  };
  EXPECT_TRUE(has("-Xms32768K"));
  EXPECT_TRUE(has("-Xss2m"));
  std::smatch heap;
  ASSERT_TRUE(std::regex_search(result.output, heap, std::regex("\noption -Xmx([0-9]+)K\n")))
      << result.output;
  EXPECT_GE(std::stol(heap[1]), 65536);
  EXPECT_LE(std::stol(heap[1]), 262144);
}

TEST_F(RealJvmOptionsTest, TheProgramSeesTheRuntimeInItsEnvironment) {
  const std::u16string oldPath = app_ / u"old/bin" + kS + app_ / u"old/sbin";
  ProcessOptions options;
  options.environment[u"PATH"] = oldPath;
  const ProcessResult result = Launch(
      "options.ShowOptions", ToUtf8(JavaClassesDir()),
      "System Path=/opt/tools;/opt/more\n"
      "Library Path=native;%KV_JVM_HOME%/lib/server;\n",
      "", {}, options);
  ASSERT_EQ(result.exitCode, 0) << result.output << result.errors;
  const std::vector<std::string> out = SplitLines(result.output);

  EXPECT_EQ(Value(out, "env KV_JVM_PATH="), ToUtf8(JvmLibraryInHome(JdkHome())));
  EXPECT_EQ(Value(out, "env KV_JVM_HOME="), ToUtf8(JdkHome()));
  // The INI's ';' lists become ':' lists; the runtime's programs come last.
  EXPECT_EQ(Value(out, "env PATH="),
            ToUtf8(u"/opt/tools:/opt/more:" + oldPath + u":" + JoinPath(JdkHome(), u"bin")));
  // The configured value, the launcher's folder, ".", the old search path
  // and the runtime's lib folder, joined as written.
  EXPECT_EQ(Value(out, "property java.library.path="),
            ToUtf8(u"native:" + JoinPath(JdkHome(), u"lib/server") + u":" + app_.path() + u"/:.:" +
                   oldPath + JoinPath(JdkHome(), u"lib")));
}

TEST_F(RealJvmOptionsTest, OutputAndErrorFilesShareOneInstantOfTheirPicture) {
  TempDir logs;
  ProcessOptions options;
  options.environment[u"OPT_LOGS"] = logs.path();
  auto now = [] {
    char text[32];
    const std::time_t seconds = std::time(nullptr);
    std::strftime(text, sizeof text, "%Y%m%d-%H%M%S", std::localtime(&seconds));
    return std::string(text);
  };
  const std::string before = now();
  const ProcessResult result = Launch(
      "options.ShowOptions", ToUtf8(JavaClassesDir()), "",
      "Output File=%OPT_LOGS%/run/out_%yyyyMMdd-HHmmss%.log\n"
      "Error File=%OPT_LOGS%/run/err_%yyyyMMdd-HHmmss%.log\n",
      {}, options);
  const std::string after = now();
  ASSERT_EQ(result.exitCode, 0) << result.output << result.errors;
  EXPECT_EQ(result.output, "");
  EXPECT_EQ(result.errors, "");

  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(ToUtf8(logs / u"run"))) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  ASSERT_EQ(names.size(), 2u);
  std::smatch errorName, outputName;
  ASSERT_TRUE(std::regex_match(names[0], errorName, std::regex("err_([0-9]{8}-[0-9]{6})\\.log")));
  ASSERT_TRUE(std::regex_match(names[1], outputName, std::regex("out_([0-9]{8}-[0-9]{6})\\.log")));
  EXPECT_EQ(errorName[1], outputName[1]);
  EXPECT_GE(outputName[1].str(), before);
  EXPECT_LE(outputName[1].str(), after);
  EXPECT_NE(ReadFile(logs / FromUtf8("run/" + names[1])).find("property java.class.path="),
            std::string::npos);
  EXPECT_EQ(ReadFile(logs / FromUtf8("run/" + names[0])), "error stream of ShowOptions\n");
}

TEST_F(RealJvmOptionsTest, XssSizesTheStackOfTheMainThread) {
  auto depth = [&](const std::string& stack) {
    const ProcessResult result = Launch("options.StackDepth", ToUtf8(JavaClassesDir()),
                                        "Virtual Machine Parameters=-Xss" + stack + "\n", "");
    EXPECT_EQ(result.exitCode, 0) << result.output << result.errors;
    std::smatch match;
    EXPECT_TRUE(std::regex_match(result.output, match, std::regex("depth=([0-9]+)\n"))) << result.output;
    return match.empty() ? 0L : std::stol(match[1]);
  };
  const long small = depth("512k");
  const long large = depth("16m");
  EXPECT_GT(small, 0);
  EXPECT_GT(large, 4 * small) << small << " frames with 512k, " << large << " with 16m";
}

TEST_F(RealJvmOptionsTest, AnEmptyClassPathIsReportedAndNothingElseIsTaken) {
  ProcessOptions options;
  options.workingDirectory = JavaClassesDir();  // the JVM's own default class path is "."
  TempDir logs;
  const ProcessResult result = Launch(
      "options.ShowOptions", ";;", "Virtual Machine Parameters=-Dopt.path=set\n",
      "Cmd=a\nOutput File=" + ToUtf8(logs / u"out.log") + "\n", {u"x"}, options);
  EXPECT_EQ(result.output.rfind("Error: Java-Klassenpfad wurde in der INI-Datei nicht angegeben. \n", 0), 0u)
      << result.output;
  // No parameters, no "Cmd" arguments and no redirection.
  EXPECT_NE(result.output.find("\narg x\nproperty"), std::string::npos) << result.output;
  EXPECT_NE(result.output.find("\nproperty opt.path=null\n"), std::string::npos);
  EXPECT_FALSE(FileExists(logs / u"out.log"));
}

// ---------------------------------------------------------------------------
// The test JVM records the option list exactly (Linux, and Windows under
// Wine).

class TestJvmOptionsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (TestJvmPath().empty()) GTEST_SKIP() << "no test JVM in this build";
    library_ = InstallTestJvm(home_.path());
    WriteFile(TestJvmControlBeside(library_), "");
    WriteFile(app_ / u"lib/a.jar", "");
    WriteFile(app_ / u"lib/b.jar", "");
    WriteFile(app_ / u"app.jar", "");
  }

  std::vector<std::string> Launch(const std::string& parameters, const TextList& arguments,
                                  const std::string& applicationLines = "") {
    WriteFile(TestJvmLogBeside(library_), "");
    launcher_ = MakeApp(
        app_.path(), u"app",
        "[Java Runtime Environment]\n"
        "JRE Path=" + ToUtf8(home_.path()) + "\n"
        "Main Class=com.example.App\n"
        "Library Path=native;\n"
        "Virtual Machine Parameters=" + parameters + "\n"
        "[Class Path]\n"
        "Class Path=" + ToUtf8(Relative(u"lib/*.jar") + u";%KV_JVM_HOME%" + Relative(u"/lib/tools.jar") +
                               u";missing.jar;app.jar") + "\n"
        "[Application]\n"
        "Cmd=a \"b c\" \"\"\n" + applicationLines);
    ProcessOptions options;
    options.environment[kSearchPathVariable] = oldPath_;
    options.environment[u"OPT_STACK"] = u"1m";
    const ProcessResult result = RunProgram(launcher_, arguments, options);
    EXPECT_EQ(result.exitCode, 0) << result.output << result.errors;
    return ReadLines(TestJvmLogBeside(library_));
  }

  TempDir home_;
  TempDir app_;
  std::u16string library_;
  std::u16string launcher_;
  const std::u16string oldPath_ = home_ / u"old1" + kS + home_ / u"old2";
};

TEST_F(TestJvmOptionsTest, LibraryPathComesFirstThenClassPathThenTheParametersInOrder) {
  const std::vector<std::string> log =
      Launch("-Dopt.path=\"" + ToUtf8(app_ / u"with blank") + "\" -Xms1:32:32P -Xss1m", {u"x", u"y z"});
  const int create = LineIndex(log, "create version=0x10002 options=7 ignoreUnrecognized=0");
  ASSERT_GE(create, 0) << (log.empty() ? "" : log[0]);

  const std::u16string separator(1, kPathSeparator);
  EXPECT_EQ(log[create + 1],
            "option " + EscapeBytes(ToUtf8(u"-Djava.library.path=native" + kS + app_.path() +
                                           separator + kS + u"." + kS + oldPath_ +
                                           home_ / u"lib")));
  const std::string classPathPrefix = "option -Djava.class.path=";
  ASSERT_EQ(log[create + 2].rfind(classPathPrefix, 0), 0u) << log[create + 2];
  const std::string jarA = EscapeBytes(ToUtf8(app_ / u"lib/a.jar" + kS));
  const std::string jarB = EscapeBytes(ToUtf8(app_ / u"lib/b.jar" + kS));
  const std::string rest =
      EscapeBytes(ToUtf8(home_ / u"lib/tools.jar" + kS + app_ / u"app.jar" + kS));
  const std::string classPath = log[create + 2].substr(classPathPrefix.size());
  EXPECT_TRUE(classPath == jarA + jarB + rest || classPath == jarB + jarA + rest) << classPath;
  EXPECT_EQ(log[create + 3], "option " + EscapeBytes(ToUtf8(u"-Dopt.path=" + app_ / u"with blank")));
  EXPECT_EQ(log[create + 4], "option -Xms32768K");
  EXPECT_EQ(log[create + 5], "option -Xss1m");
  EXPECT_EQ(log[create + 6], "hook abort");
  EXPECT_EQ(log[create + 7], "hook exit");
  // The stack size was configured, so the JVM's default was not asked for.
  EXPECT_FALSE(HasLine(log, "default-init-args version=0x10001"));

  const int main = LineIndex(log, "main com/example/App argc=4");
  ASSERT_GE(main, 0);
  EXPECT_EQ(log[main + 1], "arg x");
  EXPECT_EQ(log[main + 2], "arg y z");
  EXPECT_EQ(log[main + 3], "arg a");
  EXPECT_EQ(log[main + 4], "arg b c");
}

TEST_F(TestJvmOptionsTest, AStackSizeWrittenWithAVariableLeavesTheThreadAtTheJvmsDefault) {
  const std::vector<std::string> log = Launch("-Xss%OPT_STACK%", {});
  // The JVM still receives the expanded option.
  EXPECT_TRUE(HasLine(log, "option -Xss1m"));
  EXPECT_TRUE(HasLine(log, "default-init-args version=0x10001"));
}

TEST_F(TestJvmOptionsTest, AnEmbeddedJarPutsTheLauncherFirstOnTheClassPath) {
  const std::vector<std::string> log = Launch("", {}, "Embedded Jar=yES\n");
  const std::vector<std::string> classPath = LinesStartingWith(log, "option -Djava.class.path=");
  ASSERT_EQ(classPath.size(), 1u);
  EXPECT_EQ(classPath[0].rfind(EscapeBytes(ToUtf8(launcher_ + kS + app_ / u"lib/")), 0), 0u)
      << classPath[0];
}

}  // namespace
}  // namespace javelin::test
