#include "jre/installed_runtimes_win.h"

#include <windows.h>

#include <gtest/gtest.h>

#include "base/win_support.h"
#include "jre/runtime_fixture.h"
#include "support/test_support.h"

namespace javelin {
namespace {

using F = JvmFlavor;

// The seven Java roots re-created below a key of this test alone
// (HKEY_LOCAL_MACHINE\Software\JavelinTests\<process>-<n>), removed at the end
// from both registry views: a 32-bit process sees the 64-bit view only as
// its alternate one.
struct TestRegistry {
  TestRegistry() {
    static int counter = 0;
    base_ = u"Software\\JavelinTests\\" + ToDecimal(GetCurrentProcessId()) + u"-" +
            ToDecimal(++counter);
    for (RegistryRoot root : DefaultRegistryRoots()) {
      root.key = base_ + u"\\" + root.key;
      roots_.push_back(root);
    }
  }
  ~TestRegistry() {
    for (REGSAM view : {REGSAM{0}, REGSAM{KEY_WOW64_64KEY}}) {
      HKEY key = nullptr;
      if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, W(base_), 0, KEY_ALL_ACCESS | view, &key) == 0) {
        RegDeleteTreeW(key, nullptr);
        RegCloseKey(key);
      }
      RegDeleteKeyExW(HKEY_LOCAL_MACHINE, W(base_), view, 0);
      RegDeleteKeyExW(HKEY_LOCAL_MACHINE, L"Software\\JavelinTests", view,
                      0);  // fails while others use it
    }
  }

  // Registers subkey `name` of root `index` (1 to 7, in search order) with
  // "JavaHome" = `javaHome` (no value when nullopt), in the process's own
  // registry view or the one `view` names.
  void Add(int index, const std::u16string& name, const std::optional<std::u16string>& javaHome,
           REGSAM view = 0) {
    HKEY key = nullptr;
    const std::u16string path = roots_[index - 1].key + name;
    ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, W(path), 0, nullptr, 0, KEY_WRITE | view, nullptr,
                              &key, nullptr),
              0);
    if (javaHome) {
      RegSetValueExW(key, L"JavaHome", 0, REG_SZ, reinterpret_cast<const BYTE*>(javaHome->c_str()),
                     static_cast<DWORD>((javaHome->size() + 1) * sizeof(char16_t)));
    }
    RegCloseKey(key);
  }
  // Makes `folder` a Java home with `flavors` and registers it; returns the home.
  std::u16string Install(int index, const std::u16string& name, const std::u16string& folder,
                         const std::vector<JvmFlavor>& flavors) {
    Add(index, name, folder);
    return test::MakeRuntime(folder, flavors);
  }

  // The home the search picks ("" for none); `found` is its version.
  std::u16string Search(const RuntimeRequirements& runtime, bool alternateView = false) {
    const std::optional<InstalledRuntime> picked = FindInRegistry(runtime, roots_, alternateView);
    found = picked ? FormatVersion(picked->version) : u"";
    return picked ? picked->home : u"";
  }

  std::u16string base_, found;
  std::vector<RegistryRoot> roots_;
};

// As the settings leave it with no "JVM Source": both kinds preferred.
RuntimeRequirements Defaults() {
  RuntimeRequirements runtime;
  runtime.jdkPreferred = runtime.jrePreferred = true;
  return runtime;
}

TEST(RegistryRuntimes, JavaHomeOfEachSubkeyAndThe64BitViewOnlyWithPairProduct) {
  TestRegistry registry;
  test::TempDir dir;
  const std::u16string jdk11 = registry.Install(1, u"11.0.2", dir / u"jdk-11.0.2", {F::kServer});
  const std::u16string jdk8 = test::MakeRuntime(dir / u"jdk1.8.0_291/jre", {F::kServer});
  registry.Add(3, u"1.8.0_291", dir / u"jdk1.8.0_291\\");  // JDK 8: the runtime is in jre
  registry.Add(2, u"17.0.1", std::nullopt);                // unusable subkeys are skipped
  registry.Add(2, u"17.0.2", u"");
  registry.Add(2, u"17.0.4", dir / u"missing");
  RuntimeRequirements runtime = Defaults();
  EXPECT_EQ(registry.Search(runtime), jdk11);
  EXPECT_EQ(registry.found, u"11.0.2");
  runtime.maximumVersion = ParseVersion(u"1.8", 65535);
  EXPECT_EQ(registry.Search(runtime), jdk8);

  // The 64-bit view (the x64 process's own one) is searched for a pair
  // launcher only.
  const std::u16string jdk21 = test::MakeRuntime(dir / u"jdk-21", {F::kServer});
  registry.Add(1, u"21", dir / u"jdk-21", KEY_WOW64_64KEY);
  RuntimeRequirements pair = Defaults();
  EXPECT_EQ(registry.Search(pair, true), u"");
  pair.pairProduct = dir / u"pair.exe";
  EXPECT_EQ(registry.Search(pair, true), jdk21);
}

TEST(RegistryRuntimes, RankingFollowsJvmTypeJvmSourceAndPreferredVersions) {
  TestRegistry registry, classic, kinds;
  test::TempDir dir;
  const std::u16string client18 =
      registry.Install(2, u"1.8.0_291", dir / u"client18", {F::kClient});
  const std::u16string server17 = registry.Install(1, u"1.7.0_80", dir / u"server17", {F::kServer});
  RuntimeRequirements runtime = Defaults();
  EXPECT_EQ(registry.Search(runtime), client18);
  runtime.jvmType = kJvmTypeFavorServer;
  EXPECT_EQ(registry.Search(runtime), server17);
  // Below "Java Runtime Environment" a home with both VMs ranks as a client VM.
  classic.Install(4, u"1.7.0_80", dir / u"both17", {F::kClient, F::kServer});
  classic.Add(2, u"1.8.0_291", client18);
  EXPECT_EQ(classic.Search(runtime), client18);

  // "favor_JDK" puts a 1.7 JDK (root 3: its jre folder) before a 1.8 JRE;
  // "only_JDK" ignores the preferred mark of a "favor_jrockit" JRockit JDK.
  const std::u16string jdk7 = test::MakeRuntime(dir / u"jdk7/jre", {F::kClient});
  const std::u16string jrockit7 = test::MakeRuntime(dir / u"jrockit7/jre", {F::kJRockit});
  kinds.Add(3, u"1.7.0_80", dir / u"jdk7");
  kinds.Add(6, u"1.7.0_79", dir / u"jrockit7");
  const std::u16string jre6 = kinds.Install(4, u"1.6", dir / u"jre6", {F::kClient});
  for (const char16_t* name : {u"1.8", u"1.8.0_291"}) kinds.Add(4, name, client18);
  kinds.Add(4, u"1.6.0_45", jre6);
  const std::u16string ibm = kinds.Install(7, u"11.0.2", dir / u"ibm", {F::kClient});
  RuntimeRequirements favorJdk;
  favorJdk.jdkPreferred = true;
  EXPECT_EQ(kinds.Search(favorJdk), jdk7);
  favorJdk.jrockitAllowed = favorJdk.jrockitPreferred = true;
  favorJdk.sunPreferred = false;
  EXPECT_EQ(kinds.Search(favorJdk), jrockit7);
  favorJdk.bothKindsAllowed = false;
  EXPECT_EQ(kinds.Search(favorJdk), jdk7);

  // Preferred versions, with two names per home; an entry without digits takes the top.
  // The newest, an IBM runtime, only when "VM Provider" names IBM.
  RuntimeRequirements picky = Defaults();
  EXPECT_EQ(kinds.Search(picky), client18);
  EXPECT_EQ(kinds.found, u"1.8.0.291");
  picky.preferredVersions = {u"1.5", u"1.6", u"1.8"};
  EXPECT_EQ(kinds.Search(picky), jre6);
  EXPECT_EQ(kinds.found, u"1.6.0.45");
  picky.preferredVersions = {u"newest", u"1.6"};
  EXPECT_EQ(kinds.Search(picky), client18);
  picky.ibmAllowed = picky.ibmPreferred = true;
  picky.sunAllowed = picky.sunPreferred = false;
  EXPECT_EQ(kinds.Search(picky), ibm);
}

}  // namespace
}  // namespace javelin
