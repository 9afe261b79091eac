#include "jre/installed_runtimes_win.h"

#include <windows.h>

#include <gtest/gtest.h>

#include "jre/jre_locator.h"
#include "jre/runtime_fixture.h"
#include "launcher/launcher.h"
#include "support/test_support.h"

namespace javelin {
namespace {

using test::LibraryIn;
using test::MakeRuntime;
using test::TempDir;

const wchar_t* W(const std::u16string& text) {
  return reinterpret_cast<const wchar_t*>(text.c_str());
}

// The seven Java roots re-created below a key of this test alone
// (HKEY_LOCAL_MACHINE\Software\JavelinTests\<process>-<n>\...), removed with
// everything in it at the end of the test.
class TestRegistry {
 public:
  TestRegistry() {
    static int counter = 0;
    base_ = u"Software\\JavelinTests\\" + ToDecimal(GetCurrentProcessId()) + u"-" +
            ToDecimal(++counter) + u"\\";
    for (RegistryRoot root : DefaultRegistryRoots()) {
      root.key = base_ + root.key;
      roots_.push_back(root);
    }
  }
  ~TestRegistry() {
    std::u16string key = base_;
    key.pop_back();
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, W(key));
    RegDeleteKeyW(HKEY_LOCAL_MACHINE, W(key));
    // Removed only when no other test still has keys below it.
    RegDeleteKeyW(HKEY_LOCAL_MACHINE, L"Software\\JavelinTests");
  }
  TestRegistry(const TestRegistry&) = delete;
  TestRegistry& operator=(const TestRegistry&) = delete;

  const std::vector<RegistryRoot>& roots() const { return roots_; }

  // Registers an installation as subkey `name` of root `index` (1 to 7 as
  // in the search order); without `javaHome` the subkey has no value.
  void Add(int index, const std::u16string& name, const std::u16string& javaHome,
           bool withValue = true) {
    HKEY key = nullptr;
    const std::u16string path = roots_[index - 1].key + name;
    ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, W(path), 0, nullptr, 0, KEY_WRITE, nullptr,
                              &key, nullptr),
              ERROR_SUCCESS);
    if (withValue) {
      RegSetValueExW(key, L"JavaHome", 0, REG_SZ, reinterpret_cast<const BYTE*>(javaHome.c_str()),
                     static_cast<DWORD>((javaHome.size() + 1) * sizeof(char16_t)));
    }
    RegCloseKey(key);
  }

  std::u16string Search(Launcher& launcher, bool alternateView = false) const {
    std::u16string home;
    VersionNumber version;
    if (!FindInRegistry(launcher, roots_, alternateView, home, version)) return u"";
    EXPECT_EQ(CompareVersions(version, launcher.selectedVersion), 0);
    return home;
  }

 private:
  std::u16string base_;
  std::vector<RegistryRoot> roots_;
};

// A launcher as the settings leave it with no "JVM Source" configured.
void DefaultKinds(Launcher& launcher) { launcher.jdkPreferred = launcher.jrePreferred = true; }

TEST(RuntimeLayoutWin, LibrariesAndMarkerLiveInBin) {
  EXPECT_EQ(JvmLibraryPaths(JvmFlavor::kServer), TextList{u"bin\\server\\jvm.dll"});
  EXPECT_EQ(JvmLibraryPaths(JvmFlavor::kClient), TextList{u"bin\\client\\jvm.dll"});
  EXPECT_EQ(JvmLibraryPaths(JvmFlavor::kJRockit), TextList{u"bin\\jrockit\\jvm.dll"});
  EXPECT_EQ(RuntimeMarkerPaths(), TextList{u"bin\\java.dll"});
  EXPECT_EQ(DefaultRegistryRoots().size(), 7u);
  EXPECT_EQ(DefaultRegistryRoots()[0].key, u"Software\\JavaSoft\\JDK\\");
  EXPECT_EQ(DefaultRegistryRoots()[6].key, u"Software\\IBM\\Java2 Runtime Environment\\");
}

TEST(RegistryRuntimes, NewJdksUseJavaHomeAndJdk8sTheirJreFolder) {
  TestRegistry registry;
  TempDir dir;
  const std::u16string jdk11 = MakeRuntime(dir / u"jdk-11.0.2", {JvmFlavor::kServer});
  MakeRuntime(dir / u"jdk1.8.0_291/jre", {JvmFlavor::kServer});
  registry.Add(1, u"11.0.2", dir / u"jdk-11.0.2");
  registry.Add(3, u"1.8.0_291", dir / u"jdk1.8.0_291\\");
  Launcher launcher;
  DefaultKinds(launcher);
  EXPECT_EQ(registry.Search(launcher), jdk11);
  EXPECT_EQ(FormatVersion(launcher.selectedVersion), u"11.0.2");
  launcher.maximumVersion = ParseVersion(u"1.8", 65535);
  EXPECT_EQ(registry.Search(launcher), dir / u"jdk1.8.0_291\\jre\\");
  EXPECT_EQ(FormatVersion(launcher.selectedVersion), u"1.8.0.291");
}

TEST(RegistryRuntimes, UnusableSubkeysAreSkippedSilently) {
  TestRegistry registry;
  TempDir dir;
  const std::u16string good = MakeRuntime(dir / u"good", {JvmFlavor::kClient});
  MakeRuntime(dir / u"nolib", {});
  registry.Add(2, u"17.0.1", u"", false);          // no "JavaHome"
  registry.Add(2, u"17.0.2", u"");                 // empty "JavaHome"
  registry.Add(2, u"17.0.3", dir / u"nolib");      // no JVM library
  registry.Add(2, u"17.0.4", dir / u"missing");    // no folder
  registry.Add(2, u"1.8.0_291", dir / u"good");
  Launcher launcher;
  DefaultKinds(launcher);
  testing::internal::CaptureStdout();
  const std::u16string home = registry.Search(launcher);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
  EXPECT_EQ(home, good);

  // A name without digits is version 0.0.0.0 and still a candidate.
  TestRegistry other;
  other.Add(4, u"CurrentVersion", dir / u"good");
  EXPECT_EQ(other.Search(launcher), good);
  EXPECT_EQ(FormatVersion(launcher.selectedVersion), u"0.0.0.0");
}

TEST(RegistryRuntimes, DefaultSettingsNeverSearchJRockitOrIbmRoots) {
  TestRegistry registry;
  TempDir dir;
  const std::u16string sun = MakeRuntime(dir / u"sun", {JvmFlavor::kClient});
  const std::u16string jrockit = MakeRuntime(dir / u"jrockit", {JvmFlavor::kJRockit});
  const std::u16string ibm = MakeRuntime(dir / u"ibm", {JvmFlavor::kClassic});
  registry.Add(4, u"1.6.0_45", dir / u"sun");
  registry.Add(5, u"1.8.0_291", dir / u"jrockit");
  registry.Add(7, u"11.0.2", dir / u"ibm");
  Launcher launcher;
  DefaultKinds(launcher);
  EXPECT_EQ(registry.Search(launcher), sun);

  // "VM Provider" = any: every root, the newest wins.
  launcher.jrockitAllowed = launcher.ibmAllowed = true;
  launcher.sunPreferred = false;
  EXPECT_EQ(registry.Search(launcher), ibm);
  // "VM Provider" = jrockit: JRockit only.
  launcher.sunAllowed = launcher.ibmAllowed = false;
  launcher.jrockitPreferred = true;
  EXPECT_EQ(registry.Search(launcher), jrockit);
}

TEST(RegistryRuntimes, MisspelledJvmSourceSearchesNoRoot) {
  TestRegistry registry;
  TempDir dir;
  MakeRuntime(dir / u"jre", {JvmFlavor::kClient});
  const std::u16string jdk = MakeRuntime(dir / u"jdk", {JvmFlavor::kClient});
  registry.Add(2, u"17", dir / u"jre");
  registry.Add(1, u"11", dir / u"jdk");
  Launcher launcher;
  launcher.bothKindsAllowed = launcher.jdkPreferred = launcher.jrePreferred = false;
  EXPECT_EQ(registry.Search(launcher), u"");
  launcher.jdkPreferred = true;  // "only_JDK"
  EXPECT_EQ(registry.Search(launcher), jdk);
}

TEST(RegistryRuntimes, VersionRangeWithOpenAndFilledBounds) {
  TestRegistry registry;
  TempDir dir;
  MakeRuntime(dir / u"a", {JvmFlavor::kClient});
  MakeRuntime(dir / u"b", {JvmFlavor::kClient});
  MakeRuntime(dir / u"c", {JvmFlavor::kClient});
  registry.Add(4, u"1.7.0_80", dir / u"a");
  registry.Add(4, u"1.8.0_291", dir / u"b");
  registry.Add(2, u"11.0.2", dir / u"c");
  Launcher launcher;
  DefaultKinds(launcher);
  EXPECT_EQ(registry.Search(launcher), dir / u"c\\");
  launcher.maximumVersion = ParseVersion(u"1.8", 65535);
  EXPECT_EQ(registry.Search(launcher), dir / u"b\\");
  launcher.maximumVersion = ParseVersion(u"1.8.0", 65535);
  EXPECT_EQ(registry.Search(launcher), dir / u"b\\");
  launcher.maximumVersion = ParseVersion(u"1.7", 65535);
  EXPECT_EQ(registry.Search(launcher), dir / u"a\\");
  launcher.minimumVersion = ParseVersion(u"1.8", 0);
  EXPECT_EQ(registry.Search(launcher), u"");
  launcher.maximumVersion = VersionNumber{{65535, 65535, 65535, 65535}};  // "any"
  EXPECT_EQ(registry.Search(launcher), dir / u"c\\");
}

TEST(RegistryRuntimes, FavorServerRanksServerVmsFirstExceptInTheClassicJreRoot) {
  TestRegistry registry;
  TempDir dir;
  MakeRuntime(dir / u"client18", {JvmFlavor::kClient});
  MakeRuntime(dir / u"server17", {JvmFlavor::kServer});
  registry.Add(2, u"1.8.0_291", dir / u"client18");
  registry.Add(1, u"1.7.0_80", dir / u"server17");
  Launcher launcher;
  DefaultKinds(launcher);
  EXPECT_EQ(registry.Search(launcher), dir / u"client18\\");
  launcher.jvmType = Launcher::kJvmTypeFavorServer;
  EXPECT_EQ(registry.Search(launcher), dir / u"server17\\");

  // Below "Java Runtime Environment" a home with both VMs counts as a client
  // VM while ranking; FindJre then still loads the server VM from it.
  TestRegistry classic;
  MakeRuntime(dir / u"both17", {JvmFlavor::kClient, JvmFlavor::kServer});
  classic.Add(4, u"1.7.0_80", dir / u"both17");
  classic.Add(2, u"1.8.0_291", dir / u"client18");
  EXPECT_EQ(classic.Search(launcher), dir / u"client18\\");
  TestRegistry modern;
  modern.Add(2, u"1.7.0_80", dir / u"both17");
  modern.Add(2, u"1.8.0_291", dir / u"client18");
  EXPECT_EQ(modern.Search(launcher), dir / u"both17\\");

  const auto source = [&classic](Launcher& l, bool alternate, std::u16string& home,
                                 VersionNumber& version) {
    return FindInRegistry(l, classic.roots(), alternate, home, version);
  };
  Launcher picky;
  DefaultKinds(picky);
  picky.jvmType = Launcher::kJvmTypeFavorServer;
  picky.maximumVersion = ParseVersion(u"1.7", 65535);
  ASSERT_TRUE(FindJre(picky, source));
  EXPECT_EQ(picky.jvmLibraryPath, LibraryIn(dir / u"both17", JvmFlavor::kServer));
}

TEST(RegistryRuntimes, PreferredKindRanksFirstOnlyWhenBothKindsAreAllowed) {
  TestRegistry registry;
  TempDir dir;
  MakeRuntime(dir / u"jdk1.7.0_80/jre", {JvmFlavor::kClient});
  MakeRuntime(dir / u"jre8", {JvmFlavor::kClient});
  registry.Add(3, u"1.7.0_80", dir / u"jdk1.7.0_80");
  registry.Add(4, u"1.8.0_291", dir / u"jre8");
  Launcher launcher;
  launcher.jdkPreferred = true;  // "favor_JDK"
  EXPECT_EQ(registry.Search(launcher), dir / u"jdk1.7.0_80\\jre\\");

  // "favor_jrockit": a JRockit JDK is preferred over a newer standard JDK,
  // unless "only_JDK" makes the preferred mark play no part.
  TestRegistry vendors;
  MakeRuntime(dir / u"jrockit7/jre", {JvmFlavor::kJRockit});
  MakeRuntime(dir / u"sun8", {JvmFlavor::kClient});
  vendors.Add(6, u"1.7.0_80", dir / u"jrockit7");
  vendors.Add(1, u"1.8.0_291", dir / u"sun8");
  Launcher favorJRockit;
  favorJRockit.jrockitAllowed = favorJRockit.jrockitPreferred = true;
  favorJRockit.ibmAllowed = true;
  favorJRockit.sunPreferred = false;
  favorJRockit.jdkPreferred = true;
  EXPECT_EQ(vendors.Search(favorJRockit), dir / u"jrockit7\\jre\\");  // "favor_JDK"
  favorJRockit.bothKindsAllowed = false;                             // "only_JDK"
  EXPECT_EQ(vendors.Search(favorJRockit), dir / u"sun8\\");
}

TEST(RegistryRuntimes, PreferredVersionsPickAnOlderRuntime) {
  TestRegistry registry;
  TempDir dir;
  MakeRuntime(dir / u"jre8", {JvmFlavor::kClient});
  MakeRuntime(dir / u"jre6", {JvmFlavor::kClient});
  registry.Add(4, u"1.8", dir / u"jre8");
  registry.Add(4, u"1.8.0_291", dir / u"jre8");
  registry.Add(4, u"1.6", dir / u"jre6");
  registry.Add(4, u"1.6.0_45", dir / u"jre6");
  Launcher launcher;
  DefaultKinds(launcher);
  EXPECT_EQ(registry.Search(launcher), dir / u"jre8\\");
  EXPECT_EQ(FormatVersion(launcher.selectedVersion), u"1.8.0.291");
  launcher.preferredVersions = {u"1.6", u"1.8"};
  EXPECT_EQ(registry.Search(launcher), dir / u"jre6\\");
  EXPECT_EQ(FormatVersion(launcher.selectedVersion), u"1.6.0.45");
  launcher.preferredVersions = {u"newest", u"1.6"};
  EXPECT_EQ(registry.Search(launcher), dir / u"jre8\\");
}

TEST(RegistryRuntimes, SixtyFourBitViewOnlyWithPairProductAndThenHandsOver) {
  TestRegistry registry;
  TempDir dir;
  MakeRuntime(dir / u"jre", {JvmFlavor::kServer});
  registry.Add(2, u"17.0.1", dir / u"jre");
  Launcher launcher;
  DefaultKinds(launcher);
  EXPECT_EQ(registry.Search(launcher, true), u"");
  EXPECT_FALSE(launcher.handOverToPair);
  launcher.pairProduct = dir / u"pair.exe";
  EXPECT_EQ(registry.Search(launcher, true), dir / u"jre\\");
  EXPECT_TRUE(launcher.handOverToPair);

  // Found in the default view: no hand-over and no machine check, even for
  // a library built for another machine.
  test::WriteFile(LibraryIn(dir / u"jre", JvmFlavor::kServer), test::ForeignBinary());
  Launcher viaDefault;
  DefaultKinds(viaDefault);
  viaDefault.pairProduct = dir / u"pair.exe";
  const auto source = [&registry](Launcher& l, bool alternate, std::u16string& home,
                                  VersionNumber& version) {
    return FindInRegistry(l, registry.roots(), alternate, home, version);
  };
  ASSERT_TRUE(FindJre(viaDefault, source));
  EXPECT_FALSE(viaDefault.handOverToPair);
}

}  // namespace
}  // namespace javelin
