// Windows forms of paths (drives, UNC, long-path prefixes) and the agreement
// of Javelin's wildcard matcher with the system's directory search.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>

#include "base/file_system.h"
#include "base/wildcard.h"
#include "support/test_support.h"

namespace javelin {
namespace {

using test::TempDir;

const wchar_t* W(const std::u16string& text) { return reinterpret_cast<const wchar_t*>(text.c_str()); }

TextList SortedMatches(FileFinder& finder, const std::u16string& pattern) {
  TextList names;
  for (bool more = finder.FindFile(pattern); more; more = finder.FindNext()) names.push_back(finder.FileName());
  std::sort(names.begin(), names.end());
  return names;
}

TEST(WindowsPaths, AbsoluteMeansTwoLeadingBackslashesOrAColonSecond) {
  EXPECT_TRUE(IsAbsolutePath(u"C:\\app"));
  EXPECT_TRUE(IsAbsolutePath(u"C:app"));
  EXPECT_TRUE(IsAbsolutePath(u"\\\\server\\share"));
  EXPECT_TRUE(IsAbsolutePath(u"\\\\?\\C:\\app"));
  EXPECT_FALSE(IsAbsolutePath(u"\\app"));
  EXPECT_FALSE(IsAbsolutePath(u"/app"));
  EXPECT_FALSE(IsAbsolutePath(u"app"));
  EXPECT_FALSE(IsAbsolutePath(u"C"));
  EXPECT_FALSE(AbsolutePathExists(u"C"));
}

TEST(WindowsPaths, ComponentsKeepTheRootTogetherWithItsLongPathPrefix) {
  EXPECT_EQ(SplitPathComponents(u"C:\\logs\\app\\out.txt"), (TextList{u"C:", u"logs", u"app", u"out.txt"}));
  EXPECT_EQ(SplitPathComponents(u"\\\\server\\share\\d\\f.txt"),
            (TextList{u"\\\\server", u"share", u"d", u"f.txt"}));
  EXPECT_EQ(SplitPathComponents(u"\\\\?\\C:\\logs\\out.txt"), (TextList{u"\\\\?\\C:", u"logs", u"out.txt"}));
  EXPECT_EQ(SplitPathComponents(u"\\\\?\\UNC\\server\\share\\d\\f.txt"),
            (TextList{u"\\\\?\\UNC\\server", u"share", u"d", u"f.txt"}));
  EXPECT_EQ(SplitPathComponents(u"C:\\out.txt"), (TextList{u"C:", u"out.txt"}));
  EXPECT_EQ(SplitPathComponents(u"C:"), TextList{u"C:"});
  EXPECT_EQ(SplitPathComponents(u"\\\\server"), TextList{u"\\\\server"});
}

TEST(WindowsPaths, CreateParentDirectoriesReturnsTheWindowsError) {
  // A file right on a drive needs no folder.
  EXPECT_EQ(CreateParentDirectories(u"C:\\javelin-no-such-file.txt"), 0u);
  TempDir temp;
  test::WriteFile(temp / u"blocker", "x");
  EXPECT_EQ(CreateParentDirectories(temp / u"blocker\\sub\\out.txt"), static_cast<uint32_t>(ERROR_PATH_NOT_FOUND));
}

TEST(WindowsPaths, NamesAndVariablesIgnoreCase) {
  TempDir temp;
  test::WriteFile(temp / u"a.txt", "x");
  FileFinder finder;
  ASSERT_TRUE(finder.FindFile(temp / u"A.TXT"));
  EXPECT_EQ(finder.FileName(), u"a.txt");

  ASSERT_TRUE(SetEnvironment(u"JV_FS_CASE", u"value"));
  EXPECT_EQ(ExpandEnvironment(u"%jv_fs_case%"), u"value");
  RemoveEnvironment(u"JV_FS_CASE");
}

TEST(WindowsPaths, SearchesFrom260CharactersOnGoThroughTheLongPathPrefix) {
  TempDir temp;
  FileFinder finder;
  // 259 characters: searched as written.
  const std::u16string shortDir = temp / std::u16string(150, u's');
  const std::u16string shortFile = shortDir + u"\\" + std::u16string(259 - shortDir.size() - 5, u'f') + u".txt";
  ASSERT_EQ(shortFile.size(), 259u);
  ASSERT_EQ(CreateParentDirectories(shortFile), 0u);
  test::WriteFile(shortFile, "x");
  ASSERT_TRUE(finder.FindFile(shortFile));
  EXPECT_EQ(finder.Root(), shortDir);

  // 300 characters: made through the prefix, found without it.
  const std::u16string longDir = temp / (std::u16string(120, u'd') + u"\\" + std::u16string(120, u'e'));
  const std::u16string longFile = longDir + u"\\" + std::u16string(300 - longDir.size() - 5, u'f') + u".txt";
  ASSERT_EQ(longFile.size(), 300u);
  ASSERT_EQ(CreateParentDirectories(u"\\\\?\\" + longFile), 0u);
  const HANDLE file = CreateFileW(W(u"\\\\?\\" + longFile), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  CloseHandle(file);

  ASSERT_TRUE(finder.FindFile(longFile));
  EXPECT_EQ(finder.FileName(), longFile.substr(longDir.size() + 1));
  EXPECT_EQ(finder.Root(), u"\\\\?\\" + longDir);
  ASSERT_TRUE(finder.FindFile(longDir + u"\\f*.txt"));
  EXPECT_EQ(finder.Root(), u"\\\\?\\" + longDir);
  finder.Close();

  // The long folder goes again without a prefix from the caller.
  ASSERT_TRUE(DeleteFileW(W(u"\\\\?\\" + longFile)));
  EXPECT_TRUE(RemoveDirectoryLong(longDir));
  EXPECT_FALSE(finder.FindFile(longDir));
}

TEST(WindowsPaths, TheSearchAcceptsForwardSlashes) {
  TempDir temp;
  test::WriteFile(temp / u"dir\\a.txt", "x");
  FileFinder finder;
  ASSERT_TRUE(finder.FindFile(temp.path() + u"/dir/*.txt"));
  EXPECT_EQ(finder.FileName(), u"a.txt");
  EXPECT_EQ(finder.Root(), temp / u"dir");
}

// The matcher that stands in for FindFirstFileW on POSIX, checked against it:
// each pattern must select the same names from the same folder.
TEST(WindowsPaths, TheWildcardMatcherSelectsWhatFindFirstFileFinds) {
  TempDir temp;
  for (const char16_t* name : {u"a.txt", u"b.txt", u"ab", u"abc.log", u"x.y.z", u"noext", u"a b", u"aa.bb.cc",
                               u"read.me.txt"}) {
    test::WriteFile(temp / name, "x");
  }
  test::MakeDirectories(temp / u"dir");
  FileFinder finder;
  const TextList all = SortedMatches(finder, temp / u"*");
  ASSERT_EQ(all.size(), 12u);

  for (const char16_t* pattern :
       {u"*", u"*.*", u"?", u"??", u"???", u"*.txt", u"?.txt", u"a*", u"a?", u"a?b", u"*b*", u"*.log", u"abc.*",
        u"ab.*", u"x.*", u"*.z", u"*x*", u"*t", u"a.???", u".*", u"*.y.*", u"x.?.z", u"a*b", u"*a*b*", u"* *",
        u"**", u"*.*.*", u"noext.*", u"n*t", u"?b", u"??.*", u"*.me.*", u"read.*.txt", u"*.t?t", u"aa.*",
        u"a.txt", u"dir"}) {
    TextList selected;
    for (const std::u16string& name : all) {
      if (MatchesWildcard(pattern, name)) selected.push_back(name);
    }
    EXPECT_EQ(SortedMatches(finder, temp / pattern), selected) << ToUtf8(pattern);
  }
}

}  // namespace
}  // namespace javelin
