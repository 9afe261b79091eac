#include "jvm/jvm_environment.h"

#include <gtest/gtest.h>

#include "base/file_system.h"
#include "base/module_path.h"
#include "jre/runtime_layout.h"
#include "launcher/launcher.h"
#include "support/test_support.h"

namespace javelin {
namespace {

using test::JoinPath;

const std::u16string kS(1, kSearchPathSeparator);

std::u16string Environment(const std::u16string& name) {
  std::u16string value;
  EXPECT_TRUE(GetEnvironment(name, value)) << ToUtf8(name);
  return value;
}

// Keeps the test process's search path as it was.
class SearchPathGuard {
 public:
  explicit SearchPathGuard(const std::u16string& value) {
    GetEnvironment(kSearchPathVariable, saved_);
    SetEnvironment(kSearchPathVariable, value);
  }
  ~SearchPathGuard() { SetEnvironment(kSearchPathVariable, saved_); }

 private:
  std::u16string saved_;
};

std::u16string LauncherDirectoryWithSeparator() {
  std::u16string modulePath;
  EXPECT_TRUE(GetModulePath(modulePath));
  return modulePath.substr(0, modulePath.rfind(kPathSeparator) + 1);
}

test::TempDir home;  // a Java home that exists only by name
const std::u16string kHome = home.path();

TEST(JvmEnvironment, EveryLibraryLayoutLeadsBackToItsJavaHome) {
  for (JvmFlavor flavor : {JvmFlavor::kClient, JvmFlavor::kServer, JvmFlavor::kClassic,
                           JvmFlavor::kHotspot, JvmFlavor::kJRockit}) {
    for (const std::u16string& relative : JvmLibraryPaths(flavor)) {
      const std::u16string library = JoinPath(kHome, relative);
      EXPECT_EQ(JavaHomeOfLibrary(library), kHome) << ToUtf8(library);
      EXPECT_EQ(RuntimeBinDirectory(library), JoinPath(kHome, u"bin")) << ToUtf8(library);
    }
  }
}

TEST(JvmEnvironment, PublishesTheRuntimeAndPutsItsBinFolderLastOnTheSearchPath) {
  const std::u16string oldPath = JoinPath(kHome, u"windows") + kS + JoinPath(kHome, u"system") + kS;
  SearchPathGuard guard(oldPath);
  const std::u16string tools = JoinPath(kHome, u"tools");

  Launcher launcher;
  launcher.jvmLibraryPath = JoinPath(kHome, JvmLibraryPaths(JvmFlavor::kClient)[0]);
  launcher.systemPath = tools;
  PrepareJvmEnvironment(launcher);
  EXPECT_EQ(Environment(u"KV_JVM_PATH"), launcher.jvmLibraryPath);
  EXPECT_EQ(Environment(u"KV_JVM_HOME"), kHome);
  EXPECT_EQ(Environment(kSearchPathVariable), tools + kS + oldPath + kS + JoinPath(kHome, u"bin"));
  // Without a library path the JVM keeps its own default.
  EXPECT_TRUE(launcher.jvmOptions.empty());
}

TEST(JvmEnvironment, ASystemPathEndingInTheSeparatorGetsNoSecondOne) {
  SearchPathGuard guard(u"old");
  Launcher launcher;
  launcher.jvmLibraryPath = JoinPath(kHome, JvmLibraryPaths(JvmFlavor::kServer)[0]);
  // The configuration writes lists with ';' on every platform.
  launcher.systemPath = u"first;second;";
  PrepareJvmEnvironment(launcher);
  EXPECT_EQ(Environment(kSearchPathVariable),
            u"first" + kS + u"second" + kS + u"old" + kS + JoinPath(kHome, u"bin"));

  launcher.systemPath.clear();
  PrepareJvmEnvironment(launcher);
  EXPECT_EQ(Environment(kSearchPathVariable),
            u"first" + kS + u"second" + kS + u"old" + kS + JoinPath(kHome, u"bin") + kS +
                JoinPath(kHome, u"bin"));
}

TEST(JvmEnvironment, TheLibraryPathOptionComesFirstAndUsesTheOldSearchPath) {
  const std::u16string oldPath = JoinPath(kHome, u"windows") + kS + JoinPath(kHome, u"system") + kS;
  SearchPathGuard guard(oldPath);
  SetEnvironment(u"JAVELIN_NATIVE_TEST", JoinPath(kHome, u"native"));

  Launcher launcher;
  launcher.jvmLibraryPath = JoinPath(kHome, JvmLibraryPaths(JvmFlavor::kClient)[0]);
  launcher.libraryPath = u"native;%JAVELIN_NATIVE_TEST%;";
  PrepareJvmEnvironment(launcher);
  ASSERT_EQ(launcher.jvmOptions.size(), 1u);
  // No separator is added after the configured value or after the old
  // search path.
  EXPECT_EQ(launcher.jvmOptions[0],
            ToUtf8(u"-Djava.library.path=native" + kS + JoinPath(kHome, u"native") + kS +
                   LauncherDirectoryWithSeparator() + kS + u"." + kS + oldPath +
                   JoinPath(kHome, u"lib")));
  // The search path changes only afterwards.
  EXPECT_EQ(Environment(kSearchPathVariable), oldPath + kS + JoinPath(kHome, u"bin"));
}

}  // namespace
}  // namespace javelin
