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
