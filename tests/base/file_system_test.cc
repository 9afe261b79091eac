// File-system helpers that behave alike everywhere. On Windows the tables
// check the system's own functions (FindFirstFileW, ExpandEnvironmentStringsW),
// elsewhere Javelin's replacements: both must give the same answers.
#include "base/file_system.h"

#ifdef _WIN32
#include <windows.h>

#include "base/win_support.h"
#else
#include <errno.h>
#include <unistd.h>
#endif

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "base/name_order.h"
#include "base/scoped_environment.h"
#include "base/wildcard.h"
#include "support/test_support.h"

namespace javelin {
namespace {

const bool kWindows = kPathSeparator == u'\\';

TextList Matches(FileFinder& finder, const std::u16string& pattern) {
  TextList names;
  for (bool more = finder.FindFile(pattern); more; more = finder.FindNext())
    names.push_back(finder.FileName());
  return names;
}

// Both platforms' path rules, checked on any host; the native style is the
// host's.
TEST(PathText, AbsolutePathsAndComponentsFollowTheStyleAsked) {
  const struct {
    PathStyle style;
    std::u16string path;
    bool absolute;
    TextList components;
  } cases[] = {
      {PathStyle::kWindows, u"C:\\a\\b", true, {u"C:", u"a", u"b"}},
      {PathStyle::kWindows, u"D:", true, {u"D:"}},
      {PathStyle::kWindows, u"\\\\server\\share\\d", true, {u"\\\\server", u"share", u"d"}},
      {PathStyle::kWindows, u"\\\\?\\C:\\a", true, {u"\\\\?\\C:", u"a"}},
      {PathStyle::kWindows, u"\\\\?\\UNC\\server\\share", true, {u"\\\\?\\UNC\\server", u"share"}},
      {PathStyle::kWindows,
       u"\\Java",
       false,
       {u"", u"Java"}},  // one backslash: relative to the drive
      {PathStyle::kWindows, u"j\\bin", false, {u"j", u"bin"}},
      {PathStyle::kWindows, u"/usr/java", false, {u"/usr/java"}},
      {PathStyle::kWindows, u"C", false, {u"C"}},
      {PathStyle::kPosix, u"/a/b", true, {u"", u"a", u"b"}},
      {PathStyle::kPosix, u"/", true, {u""}},
      {PathStyle::kPosix, u"j/bin/", false, {u"j", u"bin"}},  // a trailing '/' adds nothing
      {PathStyle::kPosix, u"D:\\Java", false, {u"D:\\Java"}},
      {PathStyle::kPosix, u"\\\\server\\java", false, {u"\\\\server\\java"}},
      {PathStyle::kPosix, u"", false, {u""}},
  };
  for (const auto& row : cases) {
    SCOPED_TRACE((row.style == PathStyle::kWindows ? "Windows " : "POSIX ") + ToUtf8(row.path));
    EXPECT_EQ(IsAbsolutePath(row.path, row.style), row.absolute);
    EXPECT_EQ(SplitPathComponents(row.path, row.style), row.components);
    if (row.style == kHostPathStyle) {
      EXPECT_EQ(IsAbsolutePath(row.path), row.absolute);
      EXPECT_EQ(SplitPathComponents(row.path), row.components);
    }
  }
}

TEST(CreateParentDirectories, CreatesNestedFoldersAndUndoesItsOwnOnFailureWithThePlatformsError) {
  test::TempDir temp;
  const std::u16string file = temp / u"logs/app/day/out.txt";
  EXPECT_EQ(CreateParentDirectories(file), 0u);
  EXPECT_TRUE(test::FileExists(temp / u"logs/app/day"));
  EXPECT_FALSE(test::FileExists(file));
  EXPECT_EQ(CreateParentDirectories(file), 0u);  // existing levels are fine
  EXPECT_EQ(CreateParentDirectories(kWindows ? u"C:\\javelin-none.txt" : u"/javelin-none.txt"), 0u);

  test::WriteFile(temp / u"old/blocker", "file");
#ifdef _WIN32
  EXPECT_EQ(CreateParentDirectories(temp / u"old/blocker/new/out.txt"),
            uint32_t{ERROR_PATH_NOT_FOUND});
#else
  EXPECT_EQ(CreateParentDirectories(temp / u"old/blocker/new/out.txt"), uint32_t{ENOTDIR});
#endif
  // A name no file system takes: the folder made before it goes again.
  EXPECT_NE(
      CreateParentDirectories(temp / (u"old/made/" + std::u16string(300, u'n') + u"/out.txt")), 0u);
  EXPECT_FALSE(test::FileExists(temp / u"old/made"));
  EXPECT_TRUE(test::FileExists(temp / u"old"));
}

// The search finds what Windows finds, dot entries included, and the matcher
// that stands in for FindFirstFileW on POSIX selects the same names. There
// they come in the order of an NTFS listing (ext4 lists them by hash), so
// that a wildcard class path is the same on both; Wine's order is its own.
TEST(FileFinder, WildcardsMatchAsOnWindowsWithDotEntriesIncluded) {
  test::TempDir temp;
  for (const char16_t* name : {u"read.me.txt", u"xaxab", u"_x.txt", u"b.txt", u"C.txt", u"ab",
                               u"abc.log", u"x.y.z", u"a.txt"}) {
    test::WriteFile(temp / name, "x");
  }
  test::MakeDirectories(temp / u"dir");
  const TextList all{u".",     u"..",  u"a.txt",       u"ab",    u"abc.log", u"b.txt",
                     u"C.txt", u"dir", u"read.me.txt", u"x.y.z", u"xaxab",   u"_x.txt"};
  const std::pair<const char16_t*, TextList> cases[] = {
      {u"*.*", all},
      {u"??", {u"..", u"ab"}},
      {u"?", {u"."}},
      {u".*", {u".", u".."}},
      {u"ab.*", {u"ab"}},
      {u"ab.?", {}},
      {u"a.???", {u"a.txt"}},
      {u"a.????", {}},
      {u"*a*b", {u"ab", u"xaxab"}},
      {u"read.*.txt", {u"read.me.txt"}},
      {u"*.t?t", {u"a.txt", u"b.txt", u"C.txt", u"read.me.txt", u"_x.txt"}},
  };
  FileFinder finder;
  for (const auto& [patternText, names] : cases) {
    const std::u16string pattern =
        patternText;  // a lambda cannot capture a structured binding in C++17
    TextList found = Matches(finder, temp / pattern), selected;
    if (kWindows) std::sort(found.begin(), found.end(), PrecedesInDirectoryOrder);
    EXPECT_EQ(found, names) << ToUtf8(pattern);
    std::copy_if(all.begin(), all.end(), std::back_inserter(selected),
                 [&](const std::u16string& name) { return MatchesWildcard(pattern, name); });
    EXPECT_EQ(selected, names) << ToUtf8(pattern);
  }
  ASSERT_TRUE(finder.FindFile(temp / u"dir"));
  EXPECT_TRUE(finder.IsDirectory());
#ifndef _WIN32
  test::TempDir other;  // a link to a folder is a folder
  ASSERT_EQ(symlink(ToUtf8(other.path()).c_str(), ToUtf8(temp / u"link").c_str()), 0);
  ASSERT_TRUE(finder.FindFile(temp / u"link"));
  EXPECT_TRUE(finder.IsDirectory());
#endif
  // Letter case counts outside Windows only; Windows takes '/' too.
  EXPECT_EQ(Matches(finder, temp.path() + u"/A.TXT"), kWindows ? TextList{u"a.txt"} : TextList{});

  // Relative patterns start at the current directory; "." and ".." are resolved.
  const std::filesystem::path previous = std::filesystem::current_path();
  ASSERT_TRUE(SetCurrentDirectoryPath(temp / u"dir"));
  ASSERT_TRUE(finder.FindFile(u"./../dir/../a*"));
  EXPECT_EQ(finder.Root(), temp.path());
  EXPECT_FALSE(finder.IsDirectory());
  EXPECT_EQ(Matches(finder, u"*.*"), (TextList{u".", u".."}));
  EXPECT_EQ(finder.Root(), temp / u"dir");
  std::filesystem::current_path(previous);
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
      {u"%jv_fs_set%", kWindows ? u"value" : u"%jv_fs_set%"},
#ifndef _WIN32
      // The text after an unknown name can open the next reference (not so
      // under Wine, whose function copies "%name%" whole).
      {u"%JV_FS_UNSET%JV_FS_SET%", u"%JV_FS_UNSETvalue"},
      {u"50%%JV_FS_SET%", u"50%value"},
#endif
  };
  for (const auto& [text, expanded] : cases)
    EXPECT_EQ(ExpandEnvironment(text), expanded) << ToUtf8(text);
}

#ifdef _WIN32
TEST(WindowsPaths, A300CharacterPathIsSearchedThroughTheLongPathPrefix) {
  test::TempDir temp;
  const std::u16string dir = temp / (std::u16string(120, u'd') + u"\\" + std::u16string(120, u'e'));
  const std::u16string file = dir + u"\\" + std::u16string(300 - dir.size() - 5, u'f') + u".txt";
  ASSERT_EQ(CreateParentDirectories(u"\\\\?\\" + file), 0u);
  const HANDLE handle =
      CreateFileW(W(u"\\\\?\\" + file), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
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
#endif

}  // namespace
}  // namespace javelin
