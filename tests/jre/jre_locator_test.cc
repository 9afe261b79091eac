#include "jre/jre_locator.h"

#include <gtest/gtest.h>

#include "jre/runtime_fixture.h"
#include "launcher/launcher.h"
#include "support/test_support.h"

namespace javelin {
namespace {

using test::LibraryIn;
using test::MakeRuntime;
using test::EnvironmentOverride;
using test::TempDir;

// An installed-runtimes source that offers one home (in the default view or
// only in the alternate one) and counts how often it is asked.
struct FakeInstalled {
  std::u16string home;
  bool onlyAlternate = false;
  int calls = 0;
  InstalledRuntimeSource Source() {
    return [this](Launcher& launcher, bool alternate, std::u16string& found, VersionNumber& version) {
      ++calls;
      if (home.empty() || alternate != onlyAlternate) return false;
      if (alternate && launcher.pairProduct.empty()) return false;
      found = home;
      version = ParseVersion(u"1.8.0_291", 0);
      launcher.selectedVersion = version;
      if (alternate) launcher.handOverToPair = true;
      return true;
    };
  }
};

class JreSearch : public testing::Test {
 protected:
  // The tests run without JAVA_HOME unless they set it themselves.
  EnvironmentOverride noJavaHome_{u"JAVA_HOME", std::nullopt};
  TempDir dir_;
  Launcher launcher_;
};

TEST_F(JreSearch, ConfiguredFolderComesFirstWithoutVersionCheck) {
  const std::u16string configured = MakeRuntime(dir_ / u"configured", {JvmFlavor::kClient}, false);
  FakeInstalled installed{MakeRuntime(dir_ / u"installed", {JvmFlavor::kClient})};
  EnvironmentOverride javaHome(u"JAVA_HOME", MakeRuntime(dir_ / u"javahome", {JvmFlavor::kClient}));
  // Without a trailing separator; a version range the folder knows nothing of.
  launcher_.jrePath = dir_ / u"configured";
  launcher_.minimumVersion = ParseVersion(u"99", 0);
  ASSERT_TRUE(FindJre(launcher_, installed.Source()));
  EXPECT_EQ(launcher_.jvmLibraryPath, LibraryIn(configured, JvmFlavor::kClient));
  EXPECT_EQ(installed.calls, 0);
  EXPECT_EQ(FormatVersion(launcher_.selectedVersion), u"0.0.0.0");
}

TEST_F(JreSearch, ConfiguredFolderWithoutLibraryFallsThroughSilently) {
  MakeRuntime(dir_ / u"configured", {});  // marker, but no JVM library
  const std::u16string installedHome = MakeRuntime(dir_ / u"installed", {JvmFlavor::kServer});
  FakeInstalled installed{installedHome};
  launcher_.jrePath = dir_ / u"configured";
  testing::internal::CaptureStdout();
  const bool found = FindJre(launcher_, installed.Source());
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
  ASSERT_TRUE(found);
  EXPECT_EQ(launcher_.jvmLibraryPath, LibraryIn(installedHome, JvmFlavor::kServer));
  // Only the installed-runtimes source records the version it chose.
  EXPECT_EQ(FormatVersion(launcher_.selectedVersion), u"1.8.0.291");
}

TEST_F(JreSearch, ConfiguredServerRequirementSkipsAClientOnlyFolder) {
  MakeRuntime(dir_ / u"configured", {JvmFlavor::kClient});
  const std::u16string javaHome = MakeRuntime(dir_ / u"javahome", {JvmFlavor::kServer});
  EnvironmentOverride variable(u"JAVA_HOME", javaHome);
  launcher_.jrePath = dir_ / u"configured";
  launcher_.jvmType = Launcher::kJvmTypeServer;
  FakeInstalled installed;
  ASSERT_TRUE(FindJre(launcher_, installed.Source()));
  EXPECT_EQ(launcher_.jvmLibraryPath, LibraryIn(javaHome, JvmFlavor::kServer));
  EXPECT_EQ(installed.calls, 2) << "default view, then the alternate one";
}

TEST_F(JreSearch, JavaHomeWorksWithAndWithoutTrailingSeparator) {
  const std::u16string home = MakeRuntime(dir_ / u"jdk", {JvmFlavor::kServer});
  FakeInstalled installed;
  for (const std::u16string& value : {dir_ / u"jdk", home}) {
    EnvironmentOverride variable(u"JAVA_HOME", value);
    std::u16string found;
    ASSERT_TRUE(FindInJavaHome(found));
    EXPECT_EQ(found, home);
    Launcher launcher;
    ASSERT_TRUE(FindJre(launcher, installed.Source()));
    EXPECT_EQ(launcher.jvmLibraryPath, LibraryIn(home, JvmFlavor::kServer));
  }
}

TEST_F(JreSearch, JavaHomeWithoutRuntimeMarkerIsIgnoredEvenWithALibrary) {
  MakeRuntime(dir_ / u"nomarker", {JvmFlavor::kClient, JvmFlavor::kServer}, false);
  FakeInstalled installed;
  std::u16string found;
  {
    EnvironmentOverride variable(u"JAVA_HOME", dir_ / u"nomarker");
    EXPECT_FALSE(FindInJavaHome(found));
    EXPECT_FALSE(FindJre(launcher_, installed.Source()));
    EXPECT_EQ(launcher_.jvmLibraryPath, u"");
  }
  {
    EnvironmentOverride variable(u"JAVA_HOME", u"");
    EXPECT_FALSE(FindInJavaHome(found));
  }
  EXPECT_FALSE(FindInJavaHome(found)) << "JAVA_HOME not set";
  EXPECT_EQ(found, u"");
}

TEST_F(JreSearch, MachineCheckFollowsTheConfiguredFolderAndJavaHomeOnly) {
  launcher_.pairProduct = dir_ / u"pair";
  // A configured folder whose library is built for another processor.
  const std::u16string configured = MakeRuntime(dir_ / u"configured", {});
  test::WriteFile(LibraryIn(configured, JvmFlavor::kClient), test::ForeignBinary());
  FakeInstalled none;
  launcher_.jrePath = configured;
  ASSERT_TRUE(FindJre(launcher_, none.Source()));
  EXPECT_TRUE(launcher_.handOverToPair);

  // The same foreign library from JAVA_HOME.
  {
    EnvironmentOverride variable(u"JAVA_HOME", configured);
    Launcher launcher;
    launcher.pairProduct = launcher_.pairProduct;
    ASSERT_TRUE(FindJre(launcher, none.Source()));
    EXPECT_TRUE(launcher.handOverToPair);
  }

  // From the installed runtimes (default view) no check runs.
  Launcher fromInstalled;
  fromInstalled.pairProduct = launcher_.pairProduct;
  FakeInstalled installed{configured};
  ASSERT_TRUE(FindJre(fromInstalled, installed.Source()));
  EXPECT_EQ(fromInstalled.jvmLibraryPath, LibraryIn(configured, JvmFlavor::kClient));
  EXPECT_FALSE(fromInstalled.handOverToPair);

  // A native library from the configured folder leaves the flag clear.
  const std::u16string native = MakeRuntime(dir_ / u"native", {});
  test::WriteFile(LibraryIn(native, JvmFlavor::kClient), test::NativeBinary());
  Launcher nativeLauncher;
  nativeLauncher.pairProduct = launcher_.pairProduct;
  nativeLauncher.jrePath = native;
  ASSERT_TRUE(FindJre(nativeLauncher, none.Source()));
  EXPECT_FALSE(nativeLauncher.handOverToPair);
}

TEST_F(JreSearch, AlternateViewHitHandsOverWithoutMachineCheck) {
  const std::u16string home = MakeRuntime(dir_ / u"jre64", {JvmFlavor::kServer});
  FakeInstalled alternateOnly{home, true};
  // Without a pair launcher the alternate view is not used.
  EXPECT_FALSE(FindJre(launcher_, alternateOnly.Source()));
  launcher_.pairProduct = dir_ / u"pair";
  ASSERT_TRUE(FindJre(launcher_, alternateOnly.Source()));
  EXPECT_EQ(launcher_.jvmLibraryPath, LibraryIn(home, JvmFlavor::kServer));
  EXPECT_TRUE(launcher_.handOverToPair) << "empty library file, yet handed over";
}

TEST_F(JreSearch, NothingAnywhereFindsNothing) {
  launcher_.jrePath = dir_ / u"missing";
  FakeInstalled none;
  EXPECT_FALSE(FindJre(launcher_, none.Source()));
  EXPECT_EQ(launcher_.jvmLibraryPath, u"");
  EXPECT_FALSE(launcher_.handOverToPair);
  // The test program's own folder holds no runtime.
  std::u16string home;
  EXPECT_FALSE(FindInApplicationFolder(home));
}

}  // namespace
}  // namespace javelin
