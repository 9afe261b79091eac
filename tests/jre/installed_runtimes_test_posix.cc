#include "jre/installed_runtimes_posix.h"

#include <unistd.h>

#include <gtest/gtest.h>

#include <memory>

#include "jre/binary_machine.h"
#include "jre/jre_locator.h"
#include "jre/runtime_fixture.h"
#include "launcher/launcher.h"
#include "support/test_support.h"

namespace javelin {
namespace {

using test::LibraryIn;
using test::MakeRuntime;
using test::TempDir;

struct FakeRuntime {
  std::string javaVersion;  // empty: no release file
  std::string implementor = "Eclipse Adoptium";
  bool jdk = false;
  std::initializer_list<JvmFlavor> flavors = {JvmFlavor::kServer};
};

// A runtime folder `root`/`name` with a real "release" file as the JDK build
// writes it; returns its home.
std::u16string AddRuntime(const std::u16string& root, const std::u16string& name,
                          const FakeRuntime& runtime) {
  const std::u16string folder = test::JoinPath(root, name);
  const std::u16string home = MakeRuntime(folder, runtime.flavors);
  if (!runtime.javaVersion.empty()) {
    test::WriteFile(home + u"release", "IMPLEMENTOR=\"" + runtime.implementor +
                                           "\"\nJAVA_RUNTIME_VERSION=\"" + runtime.javaVersion +
                                           "+7\"\nJAVA_VERSION=\"" + runtime.javaVersion +
                                           "\"\nOS_NAME=\"Linux\"\n");
  }
  if (runtime.jdk) test::WriteFile(home + u"bin/javac", "");
  return home;
}

// Runs the search over `roots` and returns the chosen home ("" for none).
std::u16string Search(Launcher& launcher, const TextList& roots) {
  std::u16string home;
  VersionNumber version;
  if (!FindInRuntimeFolders(launcher, roots, false, home, version)) return u"";
  EXPECT_EQ(CompareVersions(version, launcher.selectedVersion), 0);
  return home;
}

TEST(RuntimeLayoutPosix, LibrariesAndMarkerFollowTheJdkLayouts) {
  EXPECT_EQ(JvmLibraryPaths(JvmFlavor::kServer).front(), u"lib/server/libjvm.so");
  EXPECT_EQ(JvmLibraryPaths(JvmFlavor::kClient).front(), u"lib/client/libjvm.so");
  EXPECT_EQ(RuntimeMarkerPaths().front(), u"lib/libjava.so");
#if defined(__x86_64__)
  EXPECT_EQ(JvmLibraryPaths(JvmFlavor::kServer),
            (TextList{u"lib/server/libjvm.so", u"lib/amd64/server/libjvm.so"}));
  EXPECT_EQ(RuntimeMarkerPaths(), (TextList{u"lib/libjava.so", u"lib/amd64/libjava.so"}));
#endif
  // The real JDK the build used is a Java home in this sense.
  const std::u16string jdk = test::WithSeparator(test::JdkHome());
  EXPECT_TRUE(HasRuntimeMarker(jdk));
  bool server = false;
  EXPECT_EQ(SelectJvmLibrary(jdk, Launcher::kJvmTypeServer, &server), jdk + u"lib/server/libjvm.so");
  EXPECT_TRUE(server);
}

TEST(RuntimeFolders, ReleaseFileGivesVersionVendorAndFolderGivesKind) {
  TempDir root;
  RuntimeFolder runtime;
  AddRuntime(root.path(), u"temurin-11", {"11.0.2", "Eclipse Adoptium", true});
  ASSERT_TRUE(ReadRuntimeFolder(root / u"temurin-11", runtime));
  EXPECT_EQ(FormatVersion(runtime.version), u"11.0.2");
  EXPECT_EQ(runtime.kind, JavaKind::kJdk);
  EXPECT_EQ(runtime.vendor, JavaVendor::kSun);
  EXPECT_EQ(runtime.home, root / u"temurin-11/");

  AddRuntime(root.path(), u"semeru", {"17.0.9", "IBM Corporation"});
  ASSERT_TRUE(ReadRuntimeFolder(root / u"semeru/", runtime));
  EXPECT_EQ(runtime.kind, JavaKind::kJre);
  EXPECT_EQ(runtime.vendor, JavaVendor::kIbm);
  EXPECT_EQ(runtime.home, root / u"semeru/");

  AddRuntime(root.path(), u"jrockit", {"1.6.0_45", "Oracle JRockit(R)"});
  ASSERT_TRUE(ReadRuntimeFolder(root / u"jrockit", runtime));
  EXPECT_EQ(runtime.vendor, JavaVendor::kJRockit);
  EXPECT_EQ(FormatVersion(runtime.version), u"1.6.0.45");

  // Without a release file the folder name tells the version.
  AddRuntime(root.path(), u"jdk-1.7.0_80", {});
  ASSERT_TRUE(ReadRuntimeFolder(root / u"jdk-1.7.0_80", runtime));
  EXPECT_EQ(FormatVersion(runtime.version), u"1.7.0.80");
  EXPECT_EQ(runtime.vendor, JavaVendor::kSun);

  EXPECT_FALSE(ReadRuntimeFolder(root / u"missing", runtime));
}

TEST(RuntimeFolders, Jdk8KeepsItsRuntimeInTheJreFolder) {
  TempDir root;
  const std::u16string folder = root / u"java-8-openjdk-amd64";
  test::WriteFile(folder + u"/release", "JAVA_VERSION=\"1.8.0_292\"\n");
  test::WriteFile(folder + u"/bin/javac", "");
  const std::u16string jre = MakeRuntime(folder + u"/jre", {JvmFlavor::kServer});
  RuntimeFolder runtime;
  ASSERT_TRUE(ReadRuntimeFolder(folder, runtime));
  EXPECT_EQ(runtime.home, jre);
  EXPECT_EQ(runtime.kind, JavaKind::kJdk);
  EXPECT_EQ(FormatVersion(runtime.version), u"1.8.0.292");

  Launcher launcher;
  EXPECT_EQ(Search(launcher, {root.path()}), jre);
}

TEST(RuntimeFolders, DefaultSettingsSearchOnlyTheStandardVendor) {
  TempDir root;
  AddRuntime(root.path(), u"ibm", {"21.0.1", "IBM Corporation"});
  AddRuntime(root.path(), u"jrockit", {"21.0.2", "Oracle JRockit"});
  const std::u16string standard = AddRuntime(root.path(), u"standard", {"1.8.0_291", "Oracle Corporation"});
  Launcher launcher;
  launcher.jdkPreferred = launcher.jrePreferred = true;  // "JVM Source" absent
  EXPECT_EQ(Search(launcher, {root.path()}), standard);

  // "VM Provider" = ibm: only IBM runtimes.
  launcher.sunAllowed = launcher.sunPreferred = false;
  launcher.ibmAllowed = launcher.ibmPreferred = true;
  EXPECT_EQ(Search(launcher, {root.path()}), root / u"ibm/");

  // "VM Provider" = any: everything, the newest wins.
  launcher.sunAllowed = launcher.jrockitAllowed = true;
  launcher.ibmPreferred = false;
  EXPECT_EQ(Search(launcher, {root.path()}), root / u"jrockit/");
}

TEST(RuntimeFolders, MisspelledJvmSourceSearchesNothingAndOnlyKindsSearchOneKind) {
  TempDir root;
  const std::u16string jdk = AddRuntime(root.path(), u"jdk", {"11.0.2", "", true});
  const std::u16string jre = AddRuntime(root.path(), u"jre", {"17.0.1"});
  Launcher launcher;
  // "favour_JRE": all three kind flags off.
  launcher.bothKindsAllowed = launcher.jdkPreferred = launcher.jrePreferred = false;
  EXPECT_EQ(Search(launcher, {root.path()}), u"");
  launcher.jdkPreferred = true;  // "only_JDK"
  EXPECT_EQ(Search(launcher, {root.path()}), jdk);
  launcher.jdkPreferred = false;
  launcher.jrePreferred = true;  // "only_JRE"
  EXPECT_EQ(Search(launcher, {root.path()}), jre);
}

TEST(RuntimeFolders, VersionRangeWithOpenAndFilledBounds) {
  TempDir root;
  AddRuntime(root.path(), u"a", {"1.7.0_80"});
  AddRuntime(root.path(), u"b", {"1.8.0_291"});
  AddRuntime(root.path(), u"c", {"11.0.2"});
  Launcher launcher;  // no bounds configured at all
  EXPECT_EQ(Search(launcher, {root.path()}), root / u"c/");
  EXPECT_EQ(FormatVersion(launcher.selectedVersion), u"11.0.2");

  launcher.maximumVersion = ParseVersion(u"1.8", 65535);  // every 1.8 update
  EXPECT_EQ(Search(launcher, {root.path()}), root / u"b/");
  launcher.maximumVersion = ParseVersion(u"1.8.0_200", 65535);
  EXPECT_EQ(Search(launcher, {root.path()}), root / u"a/");

  launcher.minimumVersion = ParseVersion(u"1.8", 0);
  launcher.maximumVersion = VersionNumber{{65535, 65535, 65535, 65535}};  // "any"
  EXPECT_EQ(Search(launcher, {root.path()}), root / u"c/");
  launcher.minimumVersion = ParseVersion(u"12", 0);
  EXPECT_EQ(Search(launcher, {root.path()}), u"");
}

TEST(RuntimeFolders, RankingFollowsJvmTypeAndJvmSource) {
  TempDir root;
  // "favor_server": a 1.7 JDK with a server VM before a 1.8 JDK with only a client VM.
  const std::u16string server17 =
      AddRuntime(root.path(), u"jdk7", {"1.7.0_80", "", true, {JvmFlavor::kServer}});
  const std::u16string client18 =
      AddRuntime(root.path(), u"jdk8", {"1.8.0_291", "", true, {JvmFlavor::kClient}});
  Launcher launcher;
  EXPECT_EQ(Search(launcher, {root.path()}), client18);
  launcher.jvmType = Launcher::kJvmTypeFavorServer;
  EXPECT_EQ(Search(launcher, {root.path()}), server17);

  // A standard JRE counts its server VM as no preference while ranking, so
  // its server VM does not lift it above the newer client JDK.
  TempDir jreRoot;
  AddRuntime(jreRoot.path(), u"jre7", {"1.7.0_80", "", false, {JvmFlavor::kClient, JvmFlavor::kServer}});
  AddRuntime(jreRoot.path(), u"jdk8", {"1.8.0_291", "", true, {JvmFlavor::kClient}});
  EXPECT_EQ(Search(launcher, {jreRoot.path()}), jreRoot / u"jdk8/");
}

TEST(RuntimeFolders, PreferredMarkRanksOnlyWhenBothKindsAreAllowed) {
  TempDir root;
  const std::u16string jdk7 = AddRuntime(root.path(), u"jdk7", {"1.7.0_80", "", true});
  const std::u16string jre8 = AddRuntime(root.path(), u"jre8", {"1.8.0_291"});
  Launcher launcher;
  // "favor_JDK": the older JDK first.
  launcher.jdkPreferred = true;
  launcher.jrePreferred = false;
  EXPECT_EQ(Search(launcher, {root.path()}), jdk7);
  // "favor_JRE".
  launcher.jdkPreferred = false;
  launcher.jrePreferred = true;
  EXPECT_EQ(Search(launcher, {root.path()}), jre8);

  // "only_JDK" with "favor_ibm": the preferred IBM JDK does not outrank the newer standard one.
  const std::u16string ibm7 = AddRuntime(root.path(), u"ibm7", {"1.7.0_80", "IBM Corporation", true});
  const std::u16string jdk8 = AddRuntime(root.path(), u"jdk8", {"1.8.0_291", "", true});
  launcher.jrockitAllowed = launcher.sunAllowed = launcher.ibmAllowed = true;
  launcher.sunPreferred = false;
  launcher.ibmPreferred = true;
  launcher.bothKindsAllowed = false;
  launcher.jdkPreferred = true;
  launcher.jrePreferred = false;
  EXPECT_EQ(Search(launcher, {root.path()}), jdk8);
  launcher.bothKindsAllowed = true;  // "favor_JDK" with "favor_ibm"
  EXPECT_EQ(Search(launcher, {root.path()}), ibm7);
}

TEST(RuntimeFolders, PreferredVersionsPickAmongAllRoots) {
  TempDir first, second;
  AddRuntime(first.path(), u"jdk8", {"1.8.0_291"});
  const std::u16string six = AddRuntime(second.path(), u"jre6", {"1.6.0_45"});
  Launcher launcher;
  launcher.preferredVersions = {u"1.6", u"1.8"};
  EXPECT_EQ(Search(launcher, {first.path(), first / u"missing", second.path()}), six);
  EXPECT_EQ(FormatVersion(launcher.selectedVersion), u"1.6.0.45");
  launcher.preferredVersions = {u"newest", u"1.6"};
  EXPECT_EQ(Search(launcher, {first.path(), second.path()}), first / u"jdk8/");
}

TEST(RuntimeFolders, LinkedFoldersCountAgainAndUnusableFoldersAreSkipped) {
  TempDir root;
  AddRuntime(root.path(), u"java-17", {"17.0.15"});
  ASSERT_EQ(symlink("java-17", ToUtf8(root / u"java-1.17").c_str()), 0);
  test::WriteFile(root / u"openjdk-17/src.zip", "");  // no runtime in it
  test::WriteFile(root / u"loose-file", "");
  Launcher launcher;
  // "JVM Source" absent: both kinds preferred.
  launcher.jdkPreferred = launcher.jrePreferred = true;
  JreCandidateList list;
  CollectFolderCandidates(launcher, root.path(), list);
  ASSERT_EQ(list.size(), 2u);
  EXPECT_EQ(list[0].home, root / u"java-1.17/");
  EXPECT_EQ(list[1].home, root / u"java-17/");
  EXPECT_TRUE(list[0].isServerVm);
  EXPECT_TRUE(list[0].preferred);
  // "server" required and no server VM anywhere: nothing.
  TempDir clients;
  AddRuntime(clients.path(), u"client", {"17.0.15", "", false, {JvmFlavor::kClient}});
  launcher.jvmType = Launcher::kJvmTypeServer;
  EXPECT_EQ(Search(launcher, {clients.path()}), u"");
  // There is no alternate view here.
  std::u16string home;
  VersionNumber version;
  launcher.jvmType = Launcher::kJvmTypeAny;
  launcher.pairProduct = u"/opt/pair";
  EXPECT_FALSE(FindInRuntimeFolders(launcher, {root.path()}, true, home, version));
  EXPECT_FALSE(launcher.handOverToPair);
}

// A real runtime made from the build's JDK with jlink, shared by the tests
// below (jlink takes a few seconds).
class RealRuntime : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    root_ = new TempDir;
    const std::u16string output = *root_ / u"base-runtime";
    const test::ProcessResult result =
        test::RunProgram(test::JdkHome() + u"/bin/jlink",
                         {u"--add-modules", u"java.base", u"--output", output});
    ASSERT_EQ(result.exitCode, 0) << result.output << result.errors;
  }
  static void TearDownTestSuite() {
    delete root_;
    root_ = nullptr;
  }
  static TempDir* root_;
};
TempDir* RealRuntime::root_ = nullptr;

TEST_F(RealRuntime, JlinkRuntimeIsFoundAsAJreOfTheJdksVersion) {
  RuntimeFolder jdk;
  ASSERT_TRUE(ReadRuntimeFolder(test::JdkHome(), jdk));
  EXPECT_EQ(jdk.kind, JavaKind::kJdk);

  Launcher launcher;
  const std::u16string home = Search(launcher, {root_->path()});
  ASSERT_EQ(home, *root_ / u"base-runtime/");
  EXPECT_EQ(CompareVersions(launcher.selectedVersion, jdk.version), 0);
  RuntimeFolder runtime;
  ASSERT_TRUE(ReadRuntimeFolder(home, runtime));
  EXPECT_EQ(runtime.kind, JavaKind::kJre);
  EXPECT_TRUE(HasRuntimeMarker(home));

  // Its real library is built for this machine: no hand-over to a pair.
  launcher.jvmLibraryPath = SelectJvmLibrary(home, Launcher::kJvmTypeAny);
  launcher.pairProduct = u"/opt/pair/launcher";
  launcher.handOverToPair = true;
  CheckJvmMachine(launcher);
  EXPECT_FALSE(launcher.handOverToPair);
  uint16_t machine = 0;
  ASSERT_TRUE(ReadFileMachine(launcher.jvmLibraryPath, BinaryFormat::kElf, machine));
  EXPECT_EQ(machine, OwnMachine().machine);
}

TEST_F(RealRuntime, JavaHomeNamesTheRuntimeWhenNothingElseDoes) {
  test::EnvironmentOverride javaHome(u"JAVA_HOME", *root_ / u"base-runtime");
  Launcher launcher;
  const InstalledRuntimeSource nothingInstalled = [](Launcher&, bool, std::u16string&,
                                                     VersionNumber&) { return false; };
  ASSERT_TRUE(FindJre(launcher, nothingInstalled));
  EXPECT_EQ(launcher.jvmLibraryPath, *root_ / u"base-runtime/lib/server/libjvm.so");
}

TEST(RuntimeFoldersOfThisMachine, TheBuildsJdkIsFoundWithoutConfiguration) {
  // Holds wherever the JDK the build used is installed below a standard root.
  const std::u16string jdkHome = test::JdkHome();
  bool belowDefaultRoot = false;
  for (const std::u16string& root : DefaultRuntimeFolders()) {
    if (jdkHome.compare(0, root.size() + 1, root + u"/") == 0) belowDefaultRoot = true;
  }
  if (!belowDefaultRoot) GTEST_SKIP() << "the build's JDK is not below a standard Java folder";

  Launcher launcher;
  std::u16string home;
  VersionNumber version;
  ASSERT_TRUE(FindInstalledRuntime(launcher, false, home, version));
  EXPECT_FALSE(SelectJvmLibrary(home, launcher.jvmType).empty());

  // Asking for exactly the JDK's version finds that JDK (or a link to it).
  RuntimeFolder jdk;
  ASSERT_TRUE(ReadRuntimeFolder(jdkHome, jdk));
  Launcher exact;
  exact.minimumVersion = jdk.version;
  exact.maximumVersion = jdk.version;
  ASSERT_TRUE(FindInstalledRuntime(exact, false, home, version));
  EXPECT_EQ(CompareVersions(version, jdk.version), 0);
  RuntimeFolder found;
  ASSERT_TRUE(ReadRuntimeFolder(home, found));
  EXPECT_EQ(CompareVersions(found.version, jdk.version), 0);
}

}  // namespace
}  // namespace javelin
