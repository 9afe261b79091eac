// File-system helpers that behave alike everywhere. On Windows the tables
// check the system's own functions (FindFirstFileW, ExpandEnvironmentStringsW),
// elsewhere Javelin's replacements: both must give the same answers.
#include "base/file_system.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <errno.h>
#include <unistd.h>
#endif

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "base/scoped_environment.h"
#include "base/wildcard.h"
#include "support/test_support.h"

namespace javelin {
namespace {

// Changes the current directory for one scope.
struct CurrentDirectoryScope {
  explicit CurrentDirectoryScope(const std::u16string& path) { EXPECT_TRUE(SetCurrentDirectoryPath(path)); }
  ~CurrentDirectoryScope() { std::filesystem::current_path(previous); }
  std::filesystem::path previous = std::filesystem::current_path();
};

TextList SortedMatches(FileFinder& finder, const std::u16string& pattern) {
  TextList names;
  for (bool more = finder.FindFile(pattern); more; more = finder.FindNext()) names.push_back(finder.FileName());
  std::sort(names.begin(), names.end());
  return names;
}

TEST(SplitText, CutsAtEveryDelimiterButAddsNoPieceForATrailingOne) {
  TextList pieces{u"left over"};
  SplitText(u"a;;b;", u";", pieces);
  EXPECT_EQ(pieces, (TextList{u"a", u"", u"b"}));
  SplitText(u"", u";", pieces);
  EXPECT_TRUE(pieces.empty());
}

TEST(CreateParentDirectories, CreatesNestedFoldersAndUndoesItsOwnOnFailureWithThePlatformsError) {
  test::TempDir temp;
  const std::u16string file = temp / u"logs/app/day/out.txt";
  EXPECT_EQ(CreateParentDirectories(file), 0u);
  EXPECT_TRUE(test::FileExists(temp / u"logs/app/day"));
  EXPECT_FALSE(test::FileExists(file));
  EXPECT_EQ(CreateParentDirectories(file), 0u);  // existing levels are fine

  test::WriteFile(temp / u"old/blocker", "file");
#ifdef _WIN32
  const uint32_t notAFolder = ERROR_PATH_NOT_FOUND;
  EXPECT_EQ(CreateParentDirectories(u"C:\\javelin-no-such-file.txt"), 0u);  // the root exists
#else
  const uint32_t notAFolder = ENOTDIR;
  EXPECT_EQ(CreateParentDirectories(u"/javelin-no-such-file.txt"), 0u);
  EXPECT_EQ(CreateParentDirectories(temp / (std::u16string(300, u'n') + u"/out.txt")), uint32_t{ENAMETOOLONG});
#endif
  EXPECT_EQ(CreateParentDirectories(temp / u"old/blocker/new/out.txt"), notAFolder);
  EXPECT_EQ(test::ReadFile(temp / u"old/blocker"), "file");
  // A name no file system takes: the folder made before it goes again.
  EXPECT_NE(CreateParentDirectories(temp / (u"old/made/" + std::u16string(300, u'n') + u"/out.txt")), 0u);
  EXPECT_FALSE(test::FileExists(temp / u"old/made"));
  EXPECT_TRUE(test::FileExists(temp / u"old"));
}

TEST(FileFinder, WildcardsMatchAsOnWindowsWithDotEntriesIncluded) {
  test::TempDir temp;
  for (const char16_t* name : {u"a.txt", u"b.txt", u"ab", u"abc.log", u"x.y.z", u"noext"}) {
    test::WriteFile(temp / name, "x");
  }
  test::MakeDirectories(temp / u"dir");
  const TextList all{u".", u"..", u"a.txt", u"ab", u"abc.log", u"b.txt", u"dir", u"noext", u"x.y.z"};
  const std::pair<const char16_t*, TextList> cases[] = {
      {u"*", all},       {u"*.*", all},      {u"?.txt", {u"a.txt", u"b.txt"}}, {u"??", {u"..", u"ab"}},
      {u"?", {u"."}},    {u".*", {u".", u".."}}, {u"ab.*", {u"ab"}},           {u"ab.?", {}},
      {u"*a*b", {u"ab"}}, {u"a.???", {u"a.txt"}}, {u"a.????", {}},              {u"missing", {}},
      {u"*x*", {u"a.txt", u"b.txt", u"noext", u"x.y.z"}},
  };
  FileFinder finder;
  for (const auto& [pattern, names] : cases) {
    EXPECT_EQ(SortedMatches(finder, temp / pattern), names) << ToUtf8(pattern);
  }
  ASSERT_TRUE(finder.FindFile(temp / u"dir"));
  EXPECT_TRUE(finder.IsDirectory());

  // Relative patterns start at the current directory; "." and ".." are resolved.
  CurrentDirectoryScope inside(temp / u"dir");
  ASSERT_TRUE(finder.FindFile(u"./../dir/../a*"));
  EXPECT_EQ(finder.Root(), temp.path());
  EXPECT_FALSE(finder.IsDirectory());
  EXPECT_EQ(SortedMatches(finder, u"*.*"), (TextList{u".", u".."}));
  EXPECT_EQ(finder.Root(), temp / u"dir");
  // A miss ends the search before it.
  EXPECT_FALSE(finder.FindFile(temp / u"missing/*"));
  EXPECT_FALSE(finder.FindNext());
  EXPECT_EQ(finder.FileName(), u"");
  // Only absolute paths that such a search finds exist.
  EXPECT_TRUE(AbsolutePathExists(temp / u"a*"));
  EXPECT_FALSE(AbsolutePathExists(temp.path() + kPathSeparator));
  EXPECT_FALSE(AbsolutePathExists(u"../a.txt"));
}

TEST(ExpandEnvironment, ReplacesSetVariablesAndKeepsEveryOtherPercentText) {
  test::ScopedEnvironment environment;
  environment.Set(u"JV_FS_SET", u"value");
  environment.Set(u"JV_FS_EMPTY", u"");
  environment.Set(u"JV_FS_WIDE", u"Gr\u00FC\u00DFe \u20AC");
  environment.Set(u"JV_FS_UNSET", std::nullopt);
  const std::pair<const char16_t*, const char16_t*> cases[] = {
      {u"a%JV_FS_SET%b%JV_FS_SET%", u"avaluebvalue"},
      {u"%JV_FS_WIDE%[%JV_FS_EMPTY%]", u"Gr\u00FC\u00DFe \u20AC[]"},
      {u"%JV_FS_UNSET%%JV_FS_SET%", u"%JV_FS_UNSET%value"},
      {u"%JV_FS_SET%%", u"value%"},
      {u"%JV_FS_SET", u"%JV_FS_SET"},
      {u"a %%% b", u"a %%% b"},
  };
  for (const auto& [text, expanded] : cases) EXPECT_EQ(ExpandEnvironment(text), expanded) << ToUtf8(text);
  std::u16string value = u"untouched";
  EXPECT_FALSE(GetEnvironment(u"JV_FS_UNSET", value));
  EXPECT_EQ(value, u"untouched");
  EXPECT_TRUE(GetEnvironment(u"JV_FS_EMPTY", value));  // empty counts as set
  EXPECT_EQ(value, u"");
}

#ifdef _WIN32
// Windows paths (drives, UNC, long-path prefixes) and the agreement of
// Javelin's wildcard matcher with the system's directory search.
const wchar_t* W(const std::u16string& text) { return reinterpret_cast<const wchar_t*>(text.c_str()); }

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
#else
// POSIX paths, errno results and case-sensitive names.
TEST(PosixPaths, ComponentsStartWithTheEmptyRoot) {
  EXPECT_EQ(SplitPathComponents(u"/var/log/out.txt"), (TextList{u"", u"var", u"log", u"out.txt"}));
  EXPECT_EQ(SplitPathComponents(u"logs/out.txt"), (TextList{u"logs", u"out.txt"}));
  EXPECT_EQ(SplitPathComponents(u"/a/b/"), (TextList{u"", u"a", u"b"}));
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
#endif

}  // namespace
}  // namespace javelin
