#include "jre/jre_locator.h"

#include <gtest/gtest.h>

#include "jre/runtime_fixture.h"
#include "support/test_support.h"

namespace javelin {
namespace {

using test::LibraryIn;
using test::MakeRuntime;

// Sources whose installed runtimes offer `home` (as 1.8.0_291) in the default
// view, or only in the alternate one, counting how often they are asked.
RuntimeSources Sources(const std::u16string& home, bool onlyAlternate, const std::u16string& javaHome,
                       int* calls = nullptr) {
  RuntimeSources sources;
  sources.installedRuntimes = [=](const RuntimeRequirements&, bool alternate) {
    if (calls != nullptr) ++*calls;
    std::optional<InstalledRuntime> found;
    if (!home.empty() && alternate == onlyAlternate) found = InstalledRuntime{home, ParseVersion(u"1.8.0_291", 0)};
    return found;
  };
  sources.javaHome = javaHome;
  return sources;
}

std::u16string Library(const std::optional<RuntimeChoice>& choice) { return choice ? choice->jvmLibraryPath : u""; }

TEST(JreSearch, ConfiguredFolderComesFirstAndJavaHomeLast) {
  test::TempDir dir;
  const std::u16string client = MakeRuntime(dir / u"client", {JvmFlavor::kClient}, false);
  const std::u16string installed = MakeRuntime(dir / u"installed", {JvmFlavor::kServer});
  const std::u16string javaHome = MakeRuntime(dir / u"javahome", {JvmFlavor::kServer});
  RuntimeRequirements runtime;
  runtime.jrePath = dir / u"client";
  runtime.minimumVersion = ParseVersion(u"99", 0);  // not checked for the configured folder
  // The configured folder needs no marker; the installed runtimes are not asked.
  int calls = 0;
  const std::u16string chosen = Library(FindJre(runtime, Sources(installed, false, javaHome, &calls)));
  EXPECT_EQ(chosen, LibraryIn(client, JvmFlavor::kClient));
  EXPECT_EQ(calls, 0);
  // "server" required skips the client-only folder; JAVA_HOME comes after both views.
  runtime.jvmType = kJvmTypeServer;
  const std::optional<RuntimeChoice> fromInstalled = FindJre(runtime, Sources(installed, false, javaHome));
  EXPECT_EQ(Library(fromInstalled), LibraryIn(installed, JvmFlavor::kServer));
  EXPECT_EQ(FormatVersion(fromInstalled->version), u"1.8.0.291");
  EXPECT_EQ(Library(FindJre(runtime, Sources(u"", false, javaHome, &calls))), LibraryIn(javaHome, JvmFlavor::kServer));
  EXPECT_EQ(calls, 2);
}

TEST(JreSearch, TheApplicationFolderAndJavaHomeNeedTheRuntimeMarker) {
  test::TempDir dir;
  const std::u16string home = MakeRuntime(dir / u"jdk", {JvmFlavor::kServer});
  MakeRuntime(dir / u"nomarker", {JvmFlavor::kServer}, false);
  const std::u16string bundled = MakeRuntime(dir / u"app/jre", {JvmFlavor::kServer});
  const std::u16string library = LibraryIn(home, JvmFlavor::kServer);
  // JAVA_HOME needs no trailing separator.
  const std::pair<std::u16string, std::u16string> cases[] = {
      {dir / u"jdk", library}, {home, library}, {dir / u"nomarker", u""}, {u"", u""}};
  for (const auto& [value, expected] : cases) {
    EXPECT_EQ(Library(FindJre(RuntimeRequirements(), Sources(u"", false, value))), expected) << ToUtf8(value);
  }
  EXPECT_EQ(FindInApplicationFolder(dir / u"jdk/"), home);
  EXPECT_EQ(FindInApplicationFolder(dir / u"app/"), bundled);
  EXPECT_EQ(FindInApplicationFolder(dir / u"nomarker/"), std::nullopt);
}

TEST(JreSearch, MachineCheckCoversTheConfiguredFolderAndJavaHomeOnly) {
  test::TempDir dir;
  const std::u16string foreign = MakeRuntime(dir / u"foreign", {});
  test::WriteFile(LibraryIn(foreign, JvmFlavor::kClient), test::ForeignBinary());
  const std::u16string empty = MakeRuntime(dir / u"empty", {JvmFlavor::kClient});
  const auto handsOver = [&](const RuntimeSources& sources, const std::u16string& jrePath) {
    RuntimeRequirements runtime;
    runtime.pairProduct = dir / u"pair";
    runtime.jrePath = jrePath;
    const std::optional<RuntimeChoice> choice = FindJre(runtime, sources);
    EXPECT_TRUE(choice);
    return choice && choice->handOverToPair;
  };
  EXPECT_TRUE(handsOver(Sources(u"", false, u""), foreign));
  EXPECT_FALSE(handsOver(Sources(foreign, false, u""), u"")) << "the default view is not checked";
  EXPECT_TRUE(handsOver(Sources(empty, true, u""), u"")) << "the alternate view hands over unchecked";
  EXPECT_TRUE(handsOver(Sources(u"", false, foreign), u""));
}

}  // namespace
}  // namespace javelin
