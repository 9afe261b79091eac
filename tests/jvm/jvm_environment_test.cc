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

TEST(JvmEnvironment, EveryLibraryLayoutLeadsBackToItsJavaHome) {
  const std::u16string home = JoinPath(u"", u"/opt/jdk");
  for (JvmFlavor flavor : {JvmFlavor::kClient, JvmFlavor::kServer, JvmFlavor::kClassic,
                           JvmFlavor::kHotspot, JvmFlavor::kJRockit}) {
    for (const std::u16string& relative : JvmLibraryPaths(flavor)) {
      EXPECT_EQ(JavaHomeOfLibrary(JoinPath(home, relative)), home) << ToUtf8(relative);
      EXPECT_EQ(RuntimeBinDirectory(JoinPath(home, relative)), JoinPath(home, u"bin")) << ToUtf8(relative);
    }
  }
}

TEST(JvmEnvironment, TheRuntimeIsPublishedAndItsFoldersJoinTheSearchPaths) {
  test::TempDir home;
  std::u16string savedPath;
  GetEnvironment(kSearchPathVariable, savedPath);
  const std::u16string oldPath = home / u"windows" + kS + home / u"system" + kS;
  SetEnvironment(kSearchPathVariable, oldPath);
  SetEnvironment(u"JAVELIN_NATIVE_TEST", home / u"native");
  std::u16string modulePath;
  ASSERT_TRUE(GetModulePath(modulePath));

  Launcher launcher;
  launcher.jvmLibraryPath = JoinPath(home.path(), JvmLibraryPaths(JvmFlavor::kServer)[0]);
  // The configuration writes lists with ';' on every platform.
  launcher.systemPath = u"first;second;";
  launcher.libraryPath = u"native;%JAVELIN_NATIVE_TEST%;";
  PrepareJvmEnvironment(launcher);
  const std::u16string searchPath = Environment(kSearchPathVariable);
  SetEnvironment(kSearchPathVariable, savedPath);

  EXPECT_EQ(Environment(u"KV_JVM_PATH"), launcher.jvmLibraryPath);
  EXPECT_EQ(Environment(u"KV_JVM_HOME"), home.path());
  // The system path first, without a second separator; the runtime's
  // programs last.
  EXPECT_EQ(searchPath, u"first" + kS + u"second" + kS + oldPath + kS + home / u"bin");
  // The configured value, the launcher's folder, "." and the old search path,
  // joined as written, then the runtime's lib folder.
  const std::u16string launcherFolder = modulePath.substr(0, modulePath.rfind(kPathSeparator) + 1);
  EXPECT_EQ(launcher.jvmOptions,
            (JvmOptionList{ToUtf8(u"-Djava.library.path=native" + kS + home / u"native" + kS + launcherFolder +
                                  kS + u"." + kS + oldPath + home / u"lib")}));
}

}  // namespace
}  // namespace javelin
