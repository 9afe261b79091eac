// File-system helpers that behave alike everywhere. On Windows the tables
// check the system's own functions (FindFirstFileW, ExpandEnvironmentStringsW),
// elsewhere Javelin's replacements: both must give the same answers.
#include "base/file_system.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "base/scoped_environment.h"
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

TEST(CreateParentDirectories, CreatesNestedFoldersAndUndoesItsOwnOnFailure) {
  test::TempDir temp;
  const std::u16string file = temp / u"logs/app/day/out.txt";
  EXPECT_EQ(CreateParentDirectories(file), 0u);
  EXPECT_TRUE(test::FileExists(temp / u"logs/app/day"));
  EXPECT_FALSE(test::FileExists(file));
  EXPECT_EQ(CreateParentDirectories(file), 0u);  // existing levels are fine

  test::WriteFile(temp / u"old/blocker", "file");
  EXPECT_NE(CreateParentDirectories(temp / u"old/blocker/new/out.txt"), 0u);
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

}  // namespace
}  // namespace javelin
