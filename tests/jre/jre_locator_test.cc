#include "jre/jre_locator.h"

#include <gtest/gtest.h>

#include "jre/runtime_fixture.h"
#include "support/test_support.h"

namespace javelin {
namespace {

using test::MakeRuntime;

TEST(JreSearch, SourcesComeInOrderWithTheirConditionsAndMachineCheck) {
  test::TempDir dir;
  MakeRuntime(dir / u"client", {JvmFlavor::kClient}, false);
  MakeRuntime(dir / u"server", {JvmFlavor::kServer});
  MakeRuntime(dir / u"nomarker", {JvmFlavor::kServer}, false);
  MakeRuntime(dir / u"nolibrary", {});
  MakeRuntime(dir / u"launcherdir", {JvmFlavor::kClient});
  test::WriteFile(test::LibraryIn(MakeRuntime(dir / u"foreign", {}), JvmFlavor::kClient),
                  test::ForeignBinary());
  // Folder names below dir ("" for none). The installed runtimes offer
  // `installed` as 1.8.0_291 in the default view or, if `alternate`, only in
  // the other; `calls` is how often they are asked; `app` is the launcher's
  // folder. A pair launcher is set.
  const struct {
    const char* name;
    const char16_t *jrePath, *installed;
    bool alternate, serverOnly;
    const char16_t *javaHome, *chosen;
    int calls;
    bool handOver;
    const char16_t* app = u"";
  } cases[] = {
      {"the configured folder needs neither the marker nor a fitting version", u"client", u"server",
       false, false, u"server", u"client", 0, false},
      {"\"server\" required skips the client-only folder", u"client", u"server", false, true,
       u"server", u"server", 1, false},
      {"JAVA_HOME comes after both registry views", u"client", u"", false, true, u"server",
       u"server", 2, false},
      {"a configured folder without a JVM library gives way to the launcher's folder", u"nolibrary",
       u"server", false, false, u"server", u"launcherdir", 0, false, u"launcherdir"},
      {"JAVA_HOME needs the marker", u"", u"", false, false, u"nomarker", u"", 2, false},
      // Only the user's own choices are checked for the processor; the
      // alternate view hands over unchecked.
      {"a foreign configured folder hands over", u"foreign", u"", false, false, u"", u"foreign", 0,
       true},
      {"a foreign JAVA_HOME hands over", u"", u"", false, false, u"foreign", u"foreign", 2, true},
      {"an installed runtime is not checked for the processor", u"", u"foreign", false, false, u"",
       u"foreign", 1, false},
      {"a runtime of the alternate view hands over", u"", u"server", true, false, u"", u"server", 2,
       true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    // The installed runtimes give homes that end in a separator.
    const std::u16string installed = *c.installed ? dir / c.installed + kPathSeparator : u"",
                         chosen = c.chosen;
    int calls = 0;
    RuntimeSources sources;
    sources.installedRuntimes = [&](const RuntimeRequirements&, bool alternate) {
      ++calls;
      std::optional<InstalledRuntime> found;
      if (!installed.empty() && alternate == c.alternate) {
        found = InstalledRuntime{installed, ParseVersion(u"1.8.0_291", 0)};
      }
      return found;
    };
    sources.javaHome = *c.javaHome ? dir / c.javaHome : u"";
    sources.applicationFolder = *c.app ? dir / c.app + kPathSeparator : u"";
    RuntimeRequirements runtime;
    runtime.jrePath = *c.jrePath ? dir / c.jrePath : u"";
    runtime.minimumVersion = ParseVersion(u"99", 0);
    runtime.jvmType = c.serverOnly ? kJvmTypeServer : kJvmTypeAny;
    runtime.pairProduct = dir / u"pair";
    const std::optional<RuntimeChoice> choice = FindJre(runtime, sources);
    const JvmFlavor flavor = chosen == u"server" ? JvmFlavor::kServer : JvmFlavor::kClient;
    EXPECT_EQ(choice ? choice->jvmLibraryPath : u"",
              chosen.empty() ? u"" : test::LibraryIn(dir / chosen, flavor));
    EXPECT_EQ(calls, c.calls);
    EXPECT_EQ(choice && choice->handOverToPair, c.handOver);
    if (choice && chosen == c.installed) {
      EXPECT_EQ(FormatVersion(choice->version), u"1.8.0.291");
    }
  }
  EXPECT_EQ(FindInApplicationFolder(dir / u"server/"), dir / u"server/");
  EXPECT_EQ(FindInApplicationFolder(dir.path() + kPathSeparator), std::nullopt);
  const std::u16string bundled = MakeRuntime(dir / u"app/jre", {JvmFlavor::kServer});
  EXPECT_EQ(FindInApplicationFolder(dir / u"app/"), bundled);
}

}  // namespace
}  // namespace javelin
