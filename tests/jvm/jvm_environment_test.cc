#include "jvm/jvm_environment.h"

#include <gtest/gtest.h>

#include "base/file_system.h"
#include "jre/runtime_layout.h"
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
  const std::u16string modulePath = home / u"app/tool";

  const std::u16string library = JoinPath(home.path(), JvmLibraryPaths(JvmFlavor::kServer)[0]);
  RunOptions run;
  // The configuration writes lists with ';' on every platform.
  run.systemPath = u"first;second;";
  run.libraryPath = u"native;%JAVELIN_NATIVE_TEST%;";
  const std::u16string libraryPathOption = PrepareJvmEnvironment(library, run, modulePath);
  const std::u16string searchPath = Environment(kSearchPathVariable);
  SetEnvironment(kSearchPathVariable, savedPath);

  EXPECT_EQ(Environment(u"KV_JVM_PATH"), library);
  EXPECT_EQ(Environment(u"KV_JVM_HOME"), home.path());
  // The system path first, without a second separator; the runtime's
  // programs last.
  EXPECT_EQ(searchPath, u"first" + kS + u"second" + kS + oldPath + kS + home / u"bin");
  // The configured value, the launcher's folder, "." and the old search path,
  // joined as written, then the runtime's lib folder.
  const std::u16string launcherFolder = modulePath.substr(0, modulePath.rfind(kPathSeparator) + 1);
  EXPECT_EQ(libraryPathOption, u"-Djava.library.path=native" + kS + home / u"native" + kS +
                                   launcherFolder + kS + u"." + kS + oldPath + home / u"lib");
  EXPECT_EQ(PrepareJvmEnvironment(library, RunOptions(), modulePath), u"");
}

}  // namespace
}  // namespace javelin
