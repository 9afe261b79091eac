// End-to-end launches: with the test JVM (Linux, and Windows under Wine),
// which records the options it is created with, prints main's String[] and
// fails on demand; and on Linux with the machine's real JVM, which starts
// launch.Probe to print what the program sees. Also the hand-over to the
// pair launcher and the search of unregistered runtimes with its trace.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <regex>

#include "config/ini_text.h"
#include "e2e/e2e_support.h"
#include "jre/runtime_fixture.h"
#include "jvm/jvm_environment.h"

namespace javelin::test {
namespace {

const std::u16string kS(1, kSearchPathSeparator);

class LaunchTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (TestJvmPath().empty()) GTEST_SKIP() << "no test JVM in this build";
  }

  // Whether the build has `jvm`: "test" (the test JVM), a variant of it
  // without one export ("nocreate", "nodefaults", "noboot"), "jdk" or
  // "proxy" (a JDK without the boot-loader lookup).
  static bool Have(const std::string& jvm) {
    if (jvm == "jdk") return HaveJdk();
    if (jvm == "proxy") return HaveJdk() && !InstallProxyJvm(TempDir().path()).empty();
    return !TestJvmPath().empty();
  }

  // Launches `mainClass` on `jvm`; the test JVM gets `control` as its
  // instructions. The class path is classPath_ or that of the JVM's
  // programs ("-" as the main class: no INI file at all).
  ProcessResult Launch(const std::string& jvm, const std::string& control,
                       const std::string& mainClass, const std::string& jreLines = "",
                       const std::string& applicationLines = "", const TextList& arguments = {}) {
    std::u16string home = dir_ / u"home", classPath = dir_ / u"classes";
    ProcessOptions options = options_;
    if (jvm == "jdk") {
      home = JdkHome();
      classPath = JavaClassesDir();
    } else if (jvm == "proxy") {
      InstallProxyJvm(home);
      classPath = JavaClassesDir();
    } else {
      library_ = InstallTestJvm(home, jvm == "test" ? u"" : FromUtf8(jvm));
      SetTestJvmControl(library_, control);
    }
    // With an IBM JVM preferred the launcher stays after main.
    if (jreLines.find("favor_ibm") != std::string::npos) options.timeoutSeconds = 3;
    launcher_ = MakeApp(dir_ / u"app", u"app",
                        AppIni(home, mainClass, classPath_.empty() ? ToUtf8(classPath) : classPath_,
                               jreLines, applicationLines));
    if (mainClass == "-") std::remove(ToUtf8(dir_ / u"app/app.ini").c_str());
    return WithUnixLineEnds(RunProgram(launcher_, arguments, options));
  }

  TempDir dir_;
  ProcessOptions options_;
  std::string classPath_;
  std::u16string library_, launcher_;
};

TEST_F(LaunchTest, ANormalLaunchPassesTheOptionsAndTheArguments) {
  const std::u16string app = dir_ / u"app";
  for (const char16_t* jar : {u"lib/a.jar", u"app.jar"}) WriteFile(JoinPath(app, jar), "");
  const std::u16string oldPath = dir_ / u"old1" + kS + dir_ / u"old2";
  options_.environment[kSearchPathVariable] = oldPath;
  options_.environment[u"OPT_STACK"] = u"1m";
  // Existing output files are truncated unless their append switch is "yes".
  const std::time_t now = std::time(nullptr);
  const std::u16string out =
      dir_ / FromUtf8("logs/deeper/out_" + std::to_string(std::localtime(&now)->tm_year + 1900));
  WriteFile(out + u".txt", "old\n");
  WriteFile(dir_ / u"logs/err.txt", "old\n");
  classPath_ = ToUtf8(JoinPath(u"", u"lib/*.jar;%KV_JVM_HOME%/lib/tools.jar;missing.jar;app.jar"));
  const ProcessResult result =
      Launch("test", "", "com.example.App",
             "Library Path=native;\nVirtual Machine Parameters=-Dopt.path=\"" +
                 ToUtf8(dir_ / u"with blank") + "\" -Xms1:32:32P -Xss%OPT_STACK%\n",
             "Embedded Jar=yES\nCmd=a \"b c\" \"\"\nOutput File=" +
                 ToUtf8(dir_ / u"logs/deeper/out_%yyyy%.txt") +
                 "\nError File=" + ToUtf8(dir_ / u"logs/err.txt") + "\nError Append=yes\n",
             {u"x", u"y z", u"Gr\u00FC\u00DFe", u"\U0001F600"});
  EXPECT_EQ(result.exitCode, 0) << result.output << result.errors;
  EXPECT_EQ(result.output + result.errors, "");
  EXPECT_EQ(ReadFile(dir_ / u"logs/err.txt"), "old\nmain done\n");

  // The library path, the class path (the launcher first for an embedded
  // jar), the parameters in order and the two hooks. An -Xss size written
  // with a variable is not the thread's: the JVM's default is asked for.
  EXPECT_EQ(TestJvmLog(library_),
            (std::vector<std::string>{
                "default-init-args",
                ToUtf8(u"option -Djava.library.path=native" + kS + app + kPathSeparator + kS +
                       u"." + kS + oldPath + dir_ / u"home/lib"),
                ToUtf8(u"option -Djava.class.path=" + launcher_ + kS + JoinPath(app, u"lib/a.jar") +
                       kS + dir_ / u"home/lib/tools.jar" + kS + JoinPath(app, u"app.jar")),
                ToUtf8(u"option -Dopt.path=" + dir_ / u"with blank"), "option -Xms32768K",
                "option -Xss1m", "hook abort", "hook exit"}));

  // main's String[]: the command line, then the "Cmd" tokens without the
  // empty one; printed into the file named after the year.
  EXPECT_EQ(ReadFile(out + u".txt"),
            PrintedArguments({u"x", u"y z", u"Gr\u00FC\u00DFe", u"\U0001F600", u"a", u"b c"}));
}

#ifdef _WIN32  // POSIX programs receive an argv, not a command line
TEST_F(LaunchTest, TheWindowsCommandLineIsSplitWithoutEscapes) {
  Launch("test", "", "com.example.App");
  const ProcessResult result = WithUnixLineEnds(RunCommandLine(
      launcher_, u"\t \"" + launcher_ + u"\"  a\"b c\" C:\\path\\ \"\" \"x\"y \"rest  of it"));
  EXPECT_EQ(result.exitCode, 0) << result.errors;
  EXPECT_EQ(result.output,
            PrintedArguments({u"a\"b", u"c\"", u"C:\\path\\", u"", u"x", u"y", u"rest  of it"}));
}
#endif

TEST_F(LaunchTest, EveryOutcomeEndsWithItsExitCodeAndReport) {
  const std::string noJvm =
      "Error: Windows Fehler: Kann CreateJavaVM JNI nicht finden "
      "\\(Fehlernummer = -?[0-9]+\\)\\.\n \n";
  const std::string noMainClass = "Error: Main class in der INI-Datei nicht spezifiziert\\. \n";
  const std::string app = "com.example.App", probe = "launch.Probe",
                    ran = "argc=0\n[\\s\\S]*hook ran\n";
  const std::string action = "Virtual Machine Parameters=-Dprobe.action=";
  WriteFile(dir_ / u"file", "");
  const struct {
    std::string jvm, control, mainClass, jreLines, applicationLines;
    int exitCode;        // -1 for the platform's -1
    std::string output;  // a regular expression for all of it
    std::string errors;  // a part that occurs exactly once
  } cases[] = {
      // Without a main class the JVM is never loaded.
      {"test", "", "", "", "", -1, noMainClass, ""},
      {"test", "", "-", "", "", -1, noMainClass, ""},
      // A library without one of the two entry points is no JVM.
      {"nocreate", "", app, "", "", -1, noJvm, ""},
      {"nodefaults", "", app, "", "", -1, noJvm, ""},
      // Without the boot-loader lookup the launcher loads the class itself
      // and reports its failures; the JVM can still be destroyed.
      {"noboot", "", app, "", "", 0, "argc=0\n", ""},
      {"noboot", "missing=com/example/App\n", app, "", "", -1,
       "Error: Konnte die Main class com/example/App nicht finden\\.\n \n", ""},
      {"noboot", "nomain\n", app, "", "", -1,
       "Error: Keine Main class in der angegebenen Klasse gefunden\\.\n \n", ""},
      {"proxy", "", probe, "", "", 0, ran, ""},
      {"proxy", "", "launch.Gone", "", "", -1,
       "Error: Konnte die Main class launch/Gone nicht finden\\.\n \n",
       "java.lang.NoClassDefFoundError: launch/Gone"},
      {"proxy", "", "launch.Probe$NoMain", "", "", -1, "", "java.lang.NoSuchMethodError"},
      // A JVM thread that cannot detach fails the launch after main.
      {"test", "detach=-1\n", app, "", "", -1, "argc=0\n", ""},
      // A refused creation: message 213 with the reason (each reason's text
      // is checked where the reports are made).
      {"test", "create=-4\n", app, "", "", -1,
       "Error: JNI Fehler: konnte die Java VM nicht erzeugen\nReason: "
       "[^\n]*Arbeitsspeicher\\.\n \n",
       ""},
      {"jdk", "", probe, "Virtual Machine Parameters=-XX:+NoSuchOptionInAnyJvm\n", "", -1,
       "Error: JNI Fehler: konnte die Java VM nicht erzeugen\nReason: "
       "[^\n]+\\.\n \n",
       "NoSuchOptionInAnyJvm"},
      // What the program does: its end, its exit code, its exception (the
      // JVM's to report, even with the failure check), its threads (the
      // launcher waits for the non-daemon ones).
      {"jdk", "", probe, "", "", 0, ran, "main done"},
      {"jdk", "", probe, action + "exit:42\n", "", 42, ran, ""},
      {"jdk", "", probe, action + "throw\n", "Failure Check=Yes\n", 0, ran,
       "Exception in thread \"main\" java.lang.IllegalStateException: boom "
       "from main"},
      {"jdk", "", probe, action + "thread\n", "", 0,
       "argc=0\n[\\s\\S]*late from the non-daemon thread\nhook ran\n", ""},
      // A missing class: the JVM reports it and ends with 1.
      {"jdk", "", "launch.Gone", "", "", 1, "", "Could not find or load main class launch.Gone"},
      // An output file that cannot be opened is described; the launch goes on.
      {"jdk", "", probe, "", "Output File=" + ToUtf8(dir_ / u"file/out.txt") + "\n", 0, ran,
       "java.io.FileNotFoundException"},
      // With an IBM JVM preferred the launcher stays after main; only
      // System.exit ends it.
      {"jdk", "", probe, "VM Provider=favor_ibm\n", "", 128 + 9, "argc=0\n[\\s\\S]*",
       "[killed after timeout]"},
      {"jdk", "", probe, "VM Provider=IBM\n" + action + "exit:7\n", "", 7, ran, ""},
  };
  for (const auto& test : cases) {
    if (!Have(test.jvm)) continue;
    SCOPED_TRACE(test.jvm + " " + test.control + test.mainClass + " " + test.jreLines +
                 test.applicationLines);
    const ProcessResult result =
        Launch(test.jvm, test.control, test.mainClass, test.jreLines, test.applicationLines);
    EXPECT_EQ(result.exitCode, test.exitCode == -1 ? ExitCodeMinusOne() : test.exitCode)
        << result.errors;
    EXPECT_TRUE(std::regex_match(result.output, std::regex(test.output))) << result.output;
    const size_t at = result.errors.find(test.errors);
    const bool once =
        at != std::string::npos && result.errors.find(test.errors, at + 1) == std::string::npos;
    EXPECT_TRUE(test.errors.empty() || once) << result.errors;
    if (test.output == noMainClass) {
      EXPECT_TRUE(TestJvmLog(library_).empty());
    }
  }

  // A file that does not load as a library: message 222 names it whole, in
  // UTF-8, whatever script the path is written in. The INI file is UTF-16
  // with a byte-order mark: the one encoding that both INI readers take for
  // every character.
  const std::u16string home = dir_ / u"\u042F\u0432\u0430 \u4E2D\u6587 \U0001D11E";
  const std::u16string library = InstallTestJvm(home);
  WriteFile(library, "not a shared library");
  const std::u16string ini = FromUtf8(AppIni(home, app, "."));
  const ProcessResult result = WithUnixLineEnds(
      RunProgram(MakeApp(dir_ / u"app", u"app", EncodeIniText(ini, IniEncoding::kUtf16LeBom)), {}));
  EXPECT_EQ(result.exitCode, ExitCodeMinusOne());
  // Windows names the error by its number; POSIX by the loader's reason,
  // without the path that the line shows already.
  const bool byNumber = kPathSeparator == u'\\';
  const std::string prefix = "Error: Konnte Java VM Bibliothek: " + ToUtf8(library) +
                             (byNumber ? " (Fehlernummer= " : " (");
  EXPECT_EQ(result.output.substr(0, prefix.size()), prefix) << result.output;
  EXPECT_TRUE(std::regex_match(
      result.output.substr(std::min(prefix.size(), result.output.size())),
      std::regex(byNumber ? "-?[0-9]+\\) nicht laden\\.\n \n"
                          : "(file too short|invalid ELF header)\\) nicht laden\\.\n \n")))
      << result.output;
}

// With "Output File" and "Error File" set, the files also take what the
// process writes natively (the JVM's own words, such as the first ones of
// an uncaught exception's report), whole and in order, and nothing of it
// stays on the launcher's streams. Truncation and appending work as before.
TEST_F(LaunchTest, TheOutputFilesTakeWhatTheProcessWritesNatively) {
  const std::u16string out = dir_ / u"logs/out.txt", err = dir_ / u"logs/err.txt";
  const std::string files =
      "Output File=" + ToUtf8(out) + "\nError File=" + ToUtf8(err) + "\nOutput Append=yes\n";
  WriteFile(out, "earlier\n");
  WriteFile(err, "earlier\n");
  const ProcessResult test = Launch("test", "native=x\n", "com.example.App", "", files);
  EXPECT_EQ(test.exitCode, 0) << test.errors;
  EXPECT_EQ(WithUnixLineEnds({0, ReadFile(out), ""}).output, "earlier\nargc=0\n");
  // The C runtime's descriptor of a process started with a pipe stays
  // where it was on Windows; POSIX has only the descriptor.
  const std::string native = kPathSeparator == u'\\' ? "x handle\n" : "x handle\nx crt\n";
  EXPECT_EQ(WithUnixLineEnds({0, ReadFile(err), ""}).output, "main done\n" + native);
  EXPECT_EQ(test.output + test.errors, kPathSeparator == u'\\' ? "x crt\n" : "");

  if (!Have("jdk")) return;
  const ProcessResult jdk = Launch("jdk", "", "launch.ThreadFailure", "", files);
  EXPECT_EQ(jdk.exitCode, 0) << jdk.errors;
  EXPECT_EQ(jdk.output + jdk.errors, "");
  EXPECT_EQ(ReadFile(out), "earlier\nargc=0\nmain ran\n");
  const std::string report = ReadFile(err);
  EXPECT_EQ(
      report.rfind(
          "Exception in thread \"worker\" java.lang.IllegalStateException: boom from a thread\n"
          "\tat launch.ThreadFailure",
          0),
      0u)
      << report;
}

// When the chosen JVM library is built for another machine, the launcher
// starts "Pair Product" with its own arguments instead of loading the JVM,
// here with its exit code and in the launcher's folder. The pair is another
// launcher copy on the test JVM, which writes into a relative output file.
TEST_F(LaunchTest, AForeignJvmStartsThePairWithTheSameArguments) {
  const TextList arguments = {u"one", u"two words", u"", u"\u00FCber \U0001F600"};
  SetTestJvmControl(InstallTestJvm(dir_ / u"testjre"), "exit=7\n");
  const std::u16string pair =
      MakeApp(dir_ / u"app", u"pair",
              AppIni(dir_ / u"testjre", "com.example.App", ".", "", "Output File=ran.txt\n"));
  WriteFile(InstallTestJvm(dir_ / u"jre"), ForeignBinary());
  const std::u16string launcher = MakeApp(
      dir_ / u"app", u"myapp",
      AppIni(dir_ / u"jre", "never.Loaded", ".", "",
             "Pair Product=" + ToUtf8(pair) + "\nPair Return Code=yes\nOverride WorkingDir=Yes\n"));
  options_.workingDirectory = dir_.path();
  const ProcessResult result = WithUnixLineEnds(RunProgram(launcher, arguments, options_));
  EXPECT_EQ(result.exitCode, 7) << result.errors;
  EXPECT_EQ(WithUnixLineEnds({0, ReadFile(dir_ / u"app/ran.txt"), ""}).output,
            PrintedArguments(arguments));
}

#ifndef _WIN32
// The rest of the first output line that starts with `prefix`.
std::string Value(const std::string& output, const std::string& prefix) {
  const size_t at = ("\n" + output).find("\n" + prefix);
  if (at == std::string::npos) return "<missing " + prefix + ">";
  const size_t from = at + prefix.size();
  return output.substr(from, output.find('\n', from) - from);
}

TEST_F(LaunchTest, ArgumentsParametersAndTheEnvironmentReachTheRealJvmsProgram) {
  if (!HaveJdk()) GTEST_SKIP() << "no JDK";
  const TextList arguments = {
      u"plain",   u"two  blanks", u"", u"Gr\u00FC\u00DFe \u4E2D\u6587", u"\U0001F600 \U0001D11E",
      u"\"q\" \\"};
  const std::u16string oldPath = dir_ / u"old/bin" + u":" + dir_ / u"old/sbin";
  options_.environment[u"OPT_CMD"] = u"from-env";
  options_.environment[u"PATH"] = oldPath;
  const ProcessResult result = Launch("jdk", "", "launch.Probe",
                                      "System Path=/opt/tools;/opt/more\n"
                                      "Virtual Machine Parameters=-Dopt.home=%KV_JVM_HOME% -Xss16m "
                                      "-Dprobe.action=depth\n",
                                      "Cmd=a \"b c\" \"\" %OPT_CMD%\n", arguments);
  ASSERT_EQ(result.exitCode, 0) << result.output << result.errors;
  // The command-line arguments, then the "Cmd" tokens without the empty one.
  TextList expected = arguments;
  expected.insert(expected.end(), {u"a", u"b c", u"from-env"});
  EXPECT_EQ(result.output.substr(0, PrintedArguments(expected).size()), PrintedArguments(expected));

  // How the class path, the library path and the parameters are put
  // together is checked with the test JVM; here: variables are expanded.
  EXPECT_EQ(Value(result.output, "property opt.home="), ToUtf8(JdkHome()));
  EXPECT_EQ(Value(result.output, "env KV_JVM_PATH="), ToUtf8(JvmLibraryInHome(JdkHome())));
  EXPECT_EQ(Value(result.output, "env KV_JVM_HOME="), ToUtf8(JdkHome()));
  // The INI's ';' lists become ':' lists; the runtime's programs come last.
  EXPECT_EQ(Value(result.output, "env PATH="),
            ToUtf8(u"/opt/tools:/opt/more:" + oldPath + u":" + JoinPath(JdkHome(), u"bin")));
  // Without the launcher's sizing main would get about as much as the
  // thread with 1 MiB.
  EXPECT_GT(std::stol("0" + Value(result.output, "main depth=")),
            4 * std::stol("0" + Value(result.output, "thread depth=")))
      << result.output;
}

// A runtime unpacked without registration (here in an IDE's ~/.jdks) is
// found after every other source, and the launch trace says why each
// candidate was taken or not. Wine gives every process its own
// %ProgramFiles%, so the Windows root cannot be shown this way.
TEST_F(LaunchTest, AnUnregisteredRuntimeIsFoundAndTheTraceSaysWhy) {
  const std::u16string root = dir_ / u"home/.jdks";
  // Version 99 is more than any installed runtime; 1.0 is out of range.
  WriteFile(root + u"/old/release", "JAVA_VERSION=\"1.0\"\n");
  InstallTestJvm(root + u"/old");
  WriteFile(root + u"/zulu-99/release", "JAVA_VERSION=\"99.0.1\"\n");
  library_ = InstallTestJvm(root + u"/zulu-99");
  SetTestJvmControl(library_, "");
  launcher_ =
      MakeApp(dir_ / u"app", u"app", AppIni(u"", "com.example.App", ".", "Minimum Version=99\n"));
  options_.environment = {{u"HOME", dir_ / u"home"}, {u"JAVA_HOME", std::nullopt}};

  // A trace file changes nothing the user sees.
  options_.environment[u"JAVELIN_TRACE"] = dir_ / u"trace.txt";
  const ProcessResult traced = RunProgram(launcher_, {u"x"}, options_);
  EXPECT_EQ(traced.exitCode, 0) << traced.errors;
  EXPECT_EQ(traced.output + traced.errors, PrintedArguments({u"x"}) + "main done\n");
  const std::string trace = ReadFile(dir_ / u"trace.txt");
  for (const std::string& line :
       {"configuration file \"" + ToUtf8(dir_ / u"app/app.ini") + "\" found",
        std::string("setting [Java Runtime Environment] Minimum Version = \"99\""),
        std::string("runtime source \"JRE Path\": not set"),
        std::string("runtime source JAVA_HOME: not set"),
        "candidate \"" + ToUtf8(root) +
            "/old/\" version 1.0 JRE: passed over, version out of range",
        "candidate \"" + ToUtf8(root) + "/zulu-99/\" version 99.0.1 JRE: admitted",
        "JVM library \"" + ToUtf8(library_) + "\"", std::string("argument \"x\""),
        std::string("exit code 0")}) {
    EXPECT_NE(trace.find("javelin: " + line + "\n"), std::string::npos) << line << "\n" << trace;
  }
}
#endif

}  // namespace
}  // namespace javelin::test
