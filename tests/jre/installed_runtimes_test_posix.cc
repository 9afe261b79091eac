#include "jre/installed_runtimes_posix.h"

#include <unistd.h>

#include <gtest/gtest.h>

#include "jre/runtime_fixture.h"
#include "support/test_support.h"

namespace javelin {
namespace {

// A runtime folder `root`/`name` with a "release" file as the JDK build writes
// it (none when `javaVersion` is empty); returns its home.
void AddRuntime(const test::TempDir& root, const std::u16string& name,
                const std::string& javaVersion, bool jdk = false,
                const std::string& implementor = "Eclipse Adoptium") {
  const std::u16string home = test::MakeRuntime(root / name, {JvmFlavor::kServer});
  if (!javaVersion.empty()) {
    test::WriteFile(home + u"release", "IMPLEMENTOR=\"" + implementor +
                                           "\"\nJAVA_RUNTIME_VERSION=\"" + javaVersion +
                                           "+7\"\nJAVA_VERSION=\"" + javaVersion + "\"\n");
  }
  if (jdk) test::WriteFile(home + u"bin/javac", "");
}

TEST(RuntimeFolders, ReleaseFileOrFolderNameGiveVersionVendorAndKind) {
  test::TempDir root;
  AddRuntime(root, u"temurin-11", "11.0.2", true);
  AddRuntime(root, u"semeru", "17.0.9", false, "IBM Corporation");
  AddRuntime(root, u"jdk-1.7.0_80", "");
  // A JDK 8 keeps its runtime in the jre folder.
  test::WriteFile(root / u"java-8/release", "JAVA_VERSION=\"1.8.0_292\"\n");
  test::WriteFile(root / u"java-8/bin/javac", "");
  test::MakeRuntime(root / u"java-8/jre", {JvmFlavor::kServer});
  const struct {
    const char16_t* folder;
    const char16_t* home;
    const char16_t* version;
    JavaKind kind;
    JavaVendor vendor;
  } cases[] = {
      {u"temurin-11/", u"temurin-11/", u"11.0.2", JavaKind::kJdk, JavaVendor::kSun},
      {u"semeru", u"semeru/", u"17.0.9", JavaKind::kJre, JavaVendor::kIbm},
      {u"jdk-1.7.0_80", u"jdk-1.7.0_80/", u"1.7.0.80", JavaKind::kJre, JavaVendor::kSun},
      {u"java-8", u"java-8/jre/", u"1.8.0.292", JavaKind::kJdk, JavaVendor::kSun},
  };
  for (const auto& c : cases) {
    RuntimeFolder runtime;
    ASSERT_TRUE(ReadRuntimeFolder(root / c.folder, runtime)) << ToUtf8(c.folder);
    EXPECT_EQ(runtime.home, root / c.home);
    EXPECT_EQ(FormatVersion(runtime.version), c.version);
    EXPECT_EQ(runtime.kind, c.kind) << ToUtf8(c.folder);
    EXPECT_EQ(runtime.vendor, c.vendor) << ToUtf8(c.folder);
  }
  RuntimeFolder missing;
  EXPECT_FALSE(ReadRuntimeFolder(root / u"missing", missing));
}

TEST(RuntimeFolders, EachAdmittedRuntimeBelowARootIsACandidate) {
  test::TempDir root;
  AddRuntime(root, u"java-17", "17.0.15");
  ASSERT_EQ(symlink("java-17", ToUtf8(root / u"java-1.17").c_str()), 0);  // counts again
  AddRuntime(root, u"ibm", "21.0.1", false, "IBM Corporation");  // vendors not admitted by default
  AddRuntime(root, u"jrockit", "21.0.2", false, "Oracle JRockit(R)");
  AddRuntime(root, u"jdk-21", "21.0.3", true);        // not with "only_JRE"
  test::WriteFile(root / u"openjdk-17/src.zip", "");  // no runtime in it
  test::WriteFile(root / u"loose-file", "");
  RuntimeRequirements runtime;
  runtime.bothKindsAllowed = false;
  runtime.jrePreferred = true;
  JreCandidateList list;
  CollectFolderCandidates(runtime, root.path(), list);
  ASSERT_EQ(list.size(), 2u);
  EXPECT_EQ(list[0].home, root / u"java-1.17/");
  EXPECT_EQ(list[1].home, root / u"java-17/");
  EXPECT_TRUE(list[0].isServerVm);
  EXPECT_TRUE(list[0].preferred);
  // There is no alternate view here.
  runtime.pairProduct = u"/opt/pair";
  EXPECT_TRUE(FindInRuntimeFolders(runtime, {root.path()}));
  EXPECT_FALSE(FindInstalledRuntime(runtime, true));
}

}  // namespace
}  // namespace javelin
