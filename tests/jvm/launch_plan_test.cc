#include "jvm/launch_plan.h"

#include <gtest/gtest.h>

#include "base/file_system.h"
#include "jvm/jvm_environment.h"
#include "jre/runtime_layout.h"
#include "support/test_support.h"

namespace javelin {
namespace {

MemoryFigures OneGigabyte() { return MemoryFigures{uint64_t{1} << 30, uint64_t{1} << 30}; }

// An output file is appended to.
RunOptions Options(std::u16string classPath, bool embeddedJar, std::u16string vmParameters = u"",
                   std::u16string outputFile = u"", std::u16string cmd = u"") {
  RunOptions run;
  run.classPath = std::move(classPath);
  run.embeddedJar = embeddedJar;
  run.vmParameters = std::move(vmParameters);
  run.outputAppend = !outputFile.empty();
  run.outputFile = std::move(outputFile);
  run.cmd = std::move(cmd);
  return run;
}

TEST(LaunchPlan, TheOptionsArgumentsAndFilesOfARun) {
  test::TempDir app;
  test::WriteFile(app / u"app.jar", "");
  SetEnvironment(u"JAVELIN_PLAN_TEST", u"planned");
  const std::u16string s(1, kSearchPathSeparator);
  const ProcessContext context{app / u"tool", app.path(), app / u"tool.ini", {}};
  const struct {
    RunOptions run;
    std::vector<std::string> options;
    TextList arguments;
    uint32_t stackSize;
    bool reported;  // message 209
  } cases[] = {
      {Options(u"app.jar", false, u"-Dp=%JAVELIN_PLAN_TEST% -Xmx50P -Xss1m",
               u"%JAVELIN_PLAN_TEST%.log", u"c \"\" \"d e\""),
       {"-Dlib=1", ToUtf8(u"-Djava.class.path=" + app / u"app.jar"), "-Dp=planned", "-Xmx524288K",
        "-Xss1m"},
       {u"arg", u"c", u"d e"},
       1048576,
       false},
      // The launcher itself first for an embedded jar.
      {Options(u"app.jar", true),
       {"-Dlib=1", ToUtf8(u"-Djava.class.path=" + app / u"tool" + s + app / u"app.jar")},
       {u"arg"},
       0,
       false},
      // No class path: only the library path option and the command line.
      {Options(u"missing.jar", false, u"-Dp=1", u"out.log", u"c"), {"-Dlib=1"}, {u"arg"}, 0, true},
  };
  for (const auto& c : cases) {
    testing::internal::CaptureStdout();
    const LaunchPlan plan =
        BuildLaunchPlan(c.run, context, {u"arg"}, u"-Dlib=1", std::nullopt, OneGigabyte);
    const std::string output = testing::internal::GetCapturedStdout();
    EXPECT_EQ(plan.options, c.options);
    EXPECT_EQ(plan.arguments, c.arguments);
    EXPECT_EQ(plan.threadStackSize, c.stackSize);
    EXPECT_EQ(output.find("Klassenpfad") != std::string::npos, c.reported) << output;
    EXPECT_EQ(plan.outputFile, c.reported ? u"" : c.run.outputFile.empty() ? u"" : u"planned.log");
    EXPECT_EQ(plan.outputAppend, c.run.outputAppend && !c.reported);
  }
}

// The runtime's folder is published for the application (shown end to end
// with both JVMs); every library layout, the Java 8 one on Linux included,
// leads back to it.
TEST(LaunchPlan, EveryLibraryLayoutLeadsBackToItsJavaHome) {
  const std::u16string home = test::JoinPath(u"", u"/opt/jdk");
  for (JvmFlavor flavor : {JvmFlavor::kClient, JvmFlavor::kServer, JvmFlavor::kClassic,
                           JvmFlavor::kHotspot, JvmFlavor::kJRockit}) {
    for (const std::u16string& relative : JvmLibraryPaths(flavor)) {
      const std::u16string library = test::JoinPath(home, relative);
      EXPECT_EQ(JavaHomeOfLibrary(library), home) << ToUtf8(relative);
      EXPECT_EQ(RuntimeBinDirectory(library), test::JoinPath(home, u"bin")) << ToUtf8(relative);
    }
  }
}

}  // namespace
}  // namespace javelin
