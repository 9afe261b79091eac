// POSIX forms of paths, errno results and the points where Javelin's own
// search and expansion differ from the Windows ones by design.
#include <dirent.h>
#include <errno.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>

#include "base/file_system.h"
#include "support/test_support.h"

namespace javelin {
namespace {

using test::TempDir;

TEST(PosixPaths, ComponentsStartWithTheEmptyRootSoThatJoiningRebuildsThePath) {
  const TextList components = SplitPathComponents(u"/var/log/app/out.txt");
  EXPECT_EQ(components, (TextList{u"", u"var", u"log", u"app", u"out.txt"}));
  std::u16string joined = components.front();
  for (size_t i = 1; i < components.size(); ++i) joined += u"/" + components[i];
  EXPECT_EQ(joined, u"/var/log/app/out.txt");

  EXPECT_EQ(SplitPathComponents(u"/out.txt"), (TextList{u"", u"out.txt"}));
  EXPECT_EQ(SplitPathComponents(u"logs/out.txt"), (TextList{u"logs", u"out.txt"}));
  EXPECT_EQ(SplitPathComponents(u"out.txt"), TextList{u"out.txt"});
  EXPECT_EQ(SplitPathComponents(u"/a/b/"), (TextList{u"", u"a", u"b"}));
}

TEST(PosixPaths, CreateParentDirectoriesReturnsTheErrnoOfTheFailure) {
  TempDir temp;
  test::WriteFile(temp / u"blocker", "x");
  EXPECT_EQ(CreateParentDirectories(temp / u"blocker/sub/out.txt"), static_cast<uint32_t>(ENOTDIR));
  const std::u16string tooLong(300, u'n');
  EXPECT_EQ(CreateParentDirectories(temp / (tooLong + u"/out.txt")), static_cast<uint32_t>(ENAMETOOLONG));
  // A file right below the root needs no folder.
  EXPECT_EQ(CreateParentDirectories(u"/javelin-no-such-file.txt"), 0u);
}

TEST(PosixPaths, NamesAndVariablesAreCaseSensitive) {
  TempDir temp;
  test::WriteFile(temp / u"a.txt", "x");
  FileFinder finder;
  EXPECT_FALSE(finder.FindFile(temp / u"A.TXT"));
  EXPECT_FALSE(finder.FindFile(temp / u"A*"));
  EXPECT_TRUE(finder.FindFile(temp / u"a*"));

  ASSERT_TRUE(SetEnvironment(u"JV_FS_CASE", u"value"));
  EXPECT_EQ(ExpandEnvironment(u"%jv_fs_case%"), u"%jv_fs_case%");
  EXPECT_EQ(ExpandEnvironment(u"%JV_FS_CASE%"), u"value");
  RemoveEnvironment(u"JV_FS_CASE");
}

TEST(PosixPaths, TheTextAfterAnUnknownNameCanOpenTheNextReference) {
  ASSERT_TRUE(SetEnvironment(u"JV_FS_NEXT", u"value"));
  RemoveEnvironment(u"JV_FS_GONE");
  EXPECT_EQ(ExpandEnvironment(u"%JV_FS_GONE%JV_FS_NEXT%"), u"%JV_FS_GONEvalue");
  EXPECT_EQ(ExpandEnvironment(u"50%%JV_FS_NEXT%"), u"50%value");
  EXPECT_EQ(ExpandEnvironment(u"%A=B%JV_FS_NEXT%"), u"%A=Bvalue");
  RemoveEnvironment(u"JV_FS_NEXT");

  // The same rules with any source of values.
  const VariableLookup lookup = [](const std::u16string& name, std::u16string& value) {
    if (name != u"x") return false;
    value.assign(1, u'1');
    return true;
  };
  EXPECT_EQ(ExpandVariables(u"%x%%y%x%", lookup), u"1%y1");
  EXPECT_EQ(ExpandVariables(u"%x", lookup), u"%x");
}

TEST(PosixPaths, SearchResultsComeInDirectoryOrderAndFollowLinks) {
  TempDir temp;
  for (const char16_t* name : {u"c.txt", u"a.txt", u"e.log", u"b.txt", u"d.txt"}) {
    test::WriteFile(temp / name, "x");
  }
  test::MakeDirectories(temp / u"real");
  ASSERT_EQ(symlink("real", ToUtf8(temp / u"link.txt").c_str()), 0);

  TextList listed;
  DIR* directory = opendir(ToUtf8(temp.path()).c_str());
  ASSERT_NE(directory, nullptr);
  while (const dirent* entry = readdir(directory)) {
    const std::string name = entry->d_name;
    if (name.size() > 4 && name.compare(name.size() - 4, 4, ".txt") == 0) listed.push_back(FromUtf8(name));
  }
  closedir(directory);

  FileFinder finder;
  TextList found;
  bool linkIsFolder = false;
  for (bool more = finder.FindFile(temp / u"*.txt"); more; more = finder.FindNext()) {
    found.push_back(finder.FileName());
    if (finder.FileName() == u"link.txt") linkIsFolder = finder.IsDirectory();
  }
  EXPECT_EQ(found, listed);
  EXPECT_TRUE(linkIsFolder);
}

}  // namespace
}  // namespace javelin
