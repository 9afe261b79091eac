// Windows paths (drives, UNC, long-path prefixes) and the agreement of
// Javelin's wildcard matcher with the system's directory search.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>

#include "base/file_system.h"
#include "base/scoped_environment.h"
#include "base/wildcard.h"
#include "support/test_support.h"

namespace javelin {
namespace {

const wchar_t* W(const std::u16string& text) { return reinterpret_cast<const wchar_t*>(text.c_str()); }

TextList SortedMatches(FileFinder& finder, const std::u16string& pattern) {
  TextList names;
  for (bool more = finder.FindFile(pattern); more; more = finder.FindNext()) names.push_back(finder.FileName());
  std::sort(names.begin(), names.end());
  return names;
}

TEST(WindowsPaths, DrivesUncAndLongPathPrefixesFormTheRoot) {
  for (const char16_t* path : {u"C:\\app", u"C:app", u"\\\\server\\share", u"\\\\?\\C:\\app"}) {
    EXPECT_TRUE(IsAbsolutePath(path)) << ToUtf8(path);
  }
  for (const char16_t* path : {u"\\app", u"/app", u"C"}) EXPECT_FALSE(IsAbsolutePath(path)) << ToUtf8(path);
  EXPECT_EQ(SplitPathComponents(u"C:\\logs\\out.txt"), (TextList{u"C:", u"logs", u"out.txt"}));
  EXPECT_EQ(SplitPathComponents(u"\\\\server\\share\\f.txt"), (TextList{u"\\\\server", u"share", u"f.txt"}));
  EXPECT_EQ(SplitPathComponents(u"\\\\?\\C:\\logs\\out.txt"), (TextList{u"\\\\?\\C:", u"logs", u"out.txt"}));
  EXPECT_EQ(SplitPathComponents(u"\\\\?\\UNC\\server\\share\\f.txt"),
            (TextList{u"\\\\?\\UNC\\server", u"share", u"f.txt"}));

  test::TempDir temp;
  test::WriteFile(temp / u"blocker", "x");
  EXPECT_EQ(CreateParentDirectories(temp / u"blocker\\sub\\out.txt"), static_cast<uint32_t>(ERROR_PATH_NOT_FOUND));
  EXPECT_EQ(CreateParentDirectories(u"C:\\javelin-no-such-file.txt"), 0u);
}

TEST(WindowsPaths, NamesAndVariablesIgnoreCaseAndForwardSlashesAreAccepted) {
  test::TempDir temp;
  test::WriteFile(temp / u"dir\\a.txt", "x");
  FileFinder finder;
  ASSERT_TRUE(finder.FindFile(temp.path() + u"/dir/A.TXT"));
  EXPECT_EQ(finder.FileName(), u"a.txt");
  EXPECT_EQ(finder.Root(), temp / u"dir");
  test::ScopedEnvironment environment;
  environment.Set(u"JV_FS_CASE", u"value");
  EXPECT_EQ(ExpandEnvironment(u"%jv_fs_case%"), u"value");
}

TEST(WindowsPaths, AnExpansionBeyondTheFunctionsLimitKeepsTheTextAsWritten) {
  test::ScopedEnvironment environment;
  environment.Set(u"JV_FS_BIG", std::u16string(20000, u'x'));
  environment.Set(u"JV_FS_SET", u"value");
  const std::u16string longText = std::u16string(40000, u'a') + u"%JV_FS_SET%";
  const std::pair<std::u16string, std::u16string> cases[] = {
      {u"%JV_FS_SET%;%JV_FS_BIG%", u"value;" + std::u16string(20000, u'x')},
      // 40000 characters would come out: not a cut or empty value, the text.
      {u"%JV_FS_BIG%%JV_FS_BIG%", u"%JV_FS_BIG%%JV_FS_BIG%"},
      {u"%JV_FS_SET%%JV_FS_BIG%%JV_FS_BIG%", u"%JV_FS_SET%%JV_FS_BIG%%JV_FS_BIG%"},
      {longText, longText},
      {u"no references", u"no references"},
  };
  for (const auto& [text, expanded] : cases) {
    const std::u16string result = ExpandEnvironment(text);
    EXPECT_EQ(result.size(), expanded.size()) << ToUtf8(text.substr(0, 40));
    EXPECT_TRUE(result == expanded) << ToUtf8(text.substr(0, 40));
  }
}

TEST(WindowsPaths, A300CharacterPathIsSearchedThroughTheLongPathPrefix) {
  test::TempDir temp;
  const std::u16string dir = temp / (std::u16string(120, u'd') + u"\\" + std::u16string(120, u'e'));
  const std::u16string file = dir + u"\\" + std::u16string(300 - dir.size() - 5, u'f') + u".txt";
  ASSERT_EQ(file.size(), 300u);
  ASSERT_EQ(CreateParentDirectories(u"\\\\?\\" + file), 0u);
  const HANDLE handle = CreateFileW(W(u"\\\\?\\" + file), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
  ASSERT_NE(handle, INVALID_HANDLE_VALUE);
  CloseHandle(handle);

  FileFinder finder;
  ASSERT_TRUE(finder.FindFile(dir + u"\\f*.txt"));
  EXPECT_EQ(finder.FileName(), file.substr(dir.size() + 1));
  EXPECT_EQ(finder.Root(), u"\\\\?\\" + dir);
  finder.Close();
  ASSERT_TRUE(DeleteFileW(W(u"\\\\?\\" + file)));
  EXPECT_TRUE(RemoveDirectoryLong(dir));
  EXPECT_FALSE(finder.FindFile(dir));
}

// The matcher that stands in for FindFirstFileW on POSIX must select the
// same names as FindFirstFileW itself.
TEST(WindowsPaths, TheWildcardMatcherSelectsWhatFindFirstFileFinds) {
  test::TempDir temp;
  for (const char16_t* name : {u"a.txt", u"b.txt", u"ab", u"abc.log", u"x.y.z", u"noext", u"a b", u"aa.bb.cc",
                               u"read.me.txt", u"xaxab", u"txt"}) {
    test::WriteFile(temp / name, "x");
  }
  test::MakeDirectories(temp / u"dir");
  FileFinder finder;
  const TextList all = SortedMatches(finder, temp / u"*");
  ASSERT_EQ(all.size(), 14u);

  for (const char16_t* pattern :
       {u"*", u"*.*", u"?", u"??", u"???", u"*.txt", u"?.txt", u"a*", u"a?", u"a?b", u"*b*", u"abc.*", u"ab.*",
        u"ab.?", u"*.z", u"*x*", u"*t", u"a.???", u".*", u"*.y.*", u"x.?.z", u"*a*b", u"*ab", u"* *", u"**",
        u"*.*.*", u"noext.*", u"??.*", u"read.*.txt", u"*.t?t", u"a.txt", u"dir"}) {
    TextList selected;
    for (const std::u16string& name : all) {
      if (MatchesWildcard(pattern, name)) selected.push_back(name);
    }
    EXPECT_EQ(SortedMatches(finder, temp / pattern), selected) << ToUtf8(pattern);
  }
}

}  // namespace
}  // namespace javelin
