// POSIX paths, errno results and case-sensitive names.
#include <errno.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "base/file_system.h"
#include "base/scoped_environment.h"
#include "support/test_support.h"

namespace javelin {
namespace {

TEST(PosixPaths, ComponentsStartWithTheEmptyRoot) {
  EXPECT_EQ(SplitPathComponents(u"/var/log/out.txt"), (TextList{u"", u"var", u"log", u"out.txt"}));
  EXPECT_EQ(SplitPathComponents(u"logs/out.txt"), (TextList{u"logs", u"out.txt"}));
  EXPECT_EQ(SplitPathComponents(u"/a/b/"), (TextList{u"", u"a", u"b"}));
}

TEST(PosixPaths, CreateParentDirectoriesReturnsTheErrnoOfTheFailure) {
  test::TempDir temp;
  test::WriteFile(temp / u"blocker", "x");
  EXPECT_EQ(CreateParentDirectories(temp / u"blocker/sub/out.txt"), static_cast<uint32_t>(ENOTDIR));
  EXPECT_EQ(CreateParentDirectories(temp / (std::u16string(300, u'n') + u"/out.txt")),
            static_cast<uint32_t>(ENAMETOOLONG));
  EXPECT_EQ(CreateParentDirectories(u"/javelin-no-such-file.txt"), 0u);
}

TEST(PosixPaths, WildcardMatchesComeInTheOrderOfAWindowsListing) {
  test::TempDir temp;
  // Created in an order unlike the expected one; ext4 lists them by hash.
  for (const char16_t* name : {u"z.jar", u"_util.jar", u"B.jar", u"a.jar", u"lib10.jar", u"lib1.jar",
                               u"\u00C4pfel.jar", u"notes.txt"}) {
    test::WriteFile(temp / name, "x");
  }
  test::MakeDirectories(temp / u"C.jar");
  const struct {
    const char16_t* pattern;
    TextList names;
  } cases[] = {
      {u"*.jar", {u"a.jar", u"B.jar", u"C.jar", u"lib1.jar", u"lib10.jar", u"z.jar", u"_util.jar", u"\u00C4pfel.jar"}},
      {u"*", {u".", u"..", u"a.jar", u"B.jar", u"C.jar", u"lib1.jar", u"lib10.jar", u"notes.txt", u"z.jar",
              u"_util.jar", u"\u00C4pfel.jar"}},
      {u"lib?*.jar", {u"lib1.jar", u"lib10.jar"}},
      {u"B.jar", {u"B.jar"}},
      {u"*.zip", {}},
  };
  for (const auto& test : cases) {
    FileFinder finder;
    TextList names;
    for (bool found = finder.FindFile(temp / test.pattern); found; found = finder.FindNext()) {
      names.push_back(finder.FileName());
      EXPECT_EQ(finder.IsDirectory(), names.back() == u"C.jar" || names.back()[0] == u'.') << ToUtf8(names.back());
    }
    EXPECT_EQ(names, test.names) << ToUtf8(test.pattern);
  }
}

TEST(PosixPaths, NamesAndVariablesAreCaseSensitiveAndLinksAreFollowed) {
  test::TempDir temp;
  test::WriteFile(temp / u"a.txt", "x");
  test::MakeDirectories(temp / u"real");
  ASSERT_EQ(symlink("real", ToUtf8(temp / u"link").c_str()), 0);
  FileFinder finder;
  EXPECT_FALSE(finder.FindFile(temp / u"A*"));
  ASSERT_TRUE(finder.FindFile(temp / u"link"));
  EXPECT_TRUE(finder.IsDirectory());

  test::ScopedEnvironment environment;
  environment.Set(u"JV_FS_CASE", u"value");
  environment.Set(u"JV_FS_GONE", std::nullopt);
  EXPECT_EQ(ExpandEnvironment(u"%jv_fs_case%"), u"%jv_fs_case%");
  // The text after an unknown name can open the next reference.
  EXPECT_EQ(ExpandEnvironment(u"%JV_FS_GONE%JV_FS_CASE%"), u"%JV_FS_GONEvalue");
  EXPECT_EQ(ExpandEnvironment(u"50%%JV_FS_CASE%"), u"50%value");
}

}  // namespace
}  // namespace javelin
