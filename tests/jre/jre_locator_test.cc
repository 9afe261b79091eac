#include "jre/jre_locator.h"

#include <gtest/gtest.h>

#include "jre/runtime_fixture.h"
#include "launcher/launcher.h"
#include "support/test_support.h"

namespace javelin {
namespace {

using test::EnvironmentOverride;
using test::LibraryIn;
using test::MakeRuntime;

// An installed-runtimes source offering `home` in the default view (or only
// in the alternate one) that counts how often it is asked.
struct FakeInstalled {
  std::u16string home;
  bool onlyAlternate = false;
  int calls = 0;
  InstalledRuntimeSource Source() {
    return [this](Launcher& launcher, bool alternate, std::u16string& found, VersionNumber& v) {
      ++calls;
      if (home.empty() || alternate != onlyAlternate) return false;
      found = home;
      launcher.selectedVersion = v = ParseVersion(u"1.8.0_291", 0);
      launcher.handOverToPair = alternate;
      return true;
    };
  }
};

class JreSearch : public testing::Test {
 protected:
  EnvironmentOverride noJavaHome_{u"JAVA_HOME", std::nullopt};
  test::TempDir dir_;
};

TEST_F(JreSearch, ConfiguredFolderComesFirstAndJavaHomeLast) {
  const std::u16string client = MakeRuntime(dir_ / u"client", {JvmFlavor::kClient}, false);
  const std::u16string installed = MakeRuntime(dir_ / u"installed", {JvmFlavor::kServer});
  const std::u16string javaHome = MakeRuntime(dir_ / u"javahome", {JvmFlavor::kServer});
  EnvironmentOverride variable(u"JAVA_HOME", javaHome);
  const auto find = [&](FakeInstalled& source, int32_t jvmType) {
    Launcher launcher;
    launcher.jrePath = dir_ / u"client";
    launcher.minimumVersion = ParseVersion(u"99", 0);  // not checked for the configured folder
    launcher.jvmType = jvmType;
    EXPECT_TRUE(FindJre(launcher, source.Source()));
    return launcher.jvmLibraryPath;
  };
  // The configured folder needs no marker; the installed runtimes are not asked.
  FakeInstalled source{installed}, nothing;
  EXPECT_EQ(find(source, Launcher::kJvmTypeAny), LibraryIn(client, JvmFlavor::kClient));
  EXPECT_EQ(source.calls, 0);
  // "server" required skips the client-only folder; JAVA_HOME comes after both views.
  EXPECT_EQ(find(source, Launcher::kJvmTypeServer), LibraryIn(installed, JvmFlavor::kServer));
  EXPECT_EQ(find(nothing, Launcher::kJvmTypeServer), LibraryIn(javaHome, JvmFlavor::kServer));
  EXPECT_EQ(nothing.calls, 2);
}

TEST_F(JreSearch, JavaHomeNeedsTheRuntimeMarkerButNoTrailingSeparator) {
  const std::u16string home = MakeRuntime(dir_ / u"jdk", {JvmFlavor::kServer});
  MakeRuntime(dir_ / u"nomarker", {JvmFlavor::kServer}, false);
  const std::u16string library = LibraryIn(home, JvmFlavor::kServer);
  const std::pair<std::u16string, std::u16string> cases[] = {
      {dir_ / u"jdk", library}, {home, library}, {dir_ / u"nomarker", u""}, {u"", u""}};
  for (const auto& [value, expected] : cases) {
    EnvironmentOverride variable(u"JAVA_HOME", value);
    Launcher launcher;
    FakeInstalled nothing;
    EXPECT_EQ(FindJre(launcher, nothing.Source()), !expected.empty()) << ToUtf8(value);
    EXPECT_EQ(launcher.jvmLibraryPath, expected);
  }
}

TEST_F(JreSearch, MachineCheckCoversTheConfiguredFolderAndJavaHomeOnly) {
  const std::u16string foreign = MakeRuntime(dir_ / u"foreign", {});
  test::WriteFile(LibraryIn(foreign, JvmFlavor::kClient), test::ForeignBinary());
  const std::u16string empty = MakeRuntime(dir_ / u"empty", {JvmFlavor::kClient});
  const auto handsOver = [&](FakeInstalled source, const std::u16string& jrePath) {
    Launcher launcher;
    launcher.pairProduct = dir_ / u"pair";
    launcher.jrePath = jrePath;
    EXPECT_TRUE(FindJre(launcher, source.Source()));
    return launcher.handOverToPair;
  };
  EXPECT_TRUE(handsOver({}, foreign));
  EXPECT_FALSE(handsOver({foreign}, u"")) << "the default view is not checked";
  EXPECT_TRUE(handsOver({empty, true}, u"")) << "the alternate view hands over unchecked";
  EnvironmentOverride variable(u"JAVA_HOME", foreign);
  EXPECT_TRUE(handsOver({}, u""));
}

}  // namespace
}  // namespace javelin
