// Behaviour of the file-system helpers that is the same on every platform.
// On Windows these tests check the system's own functions (FindFirstFileW,
// ExpandEnvironmentStringsW), elsewhere Javelin's replacements; both must
// give the same answers.
#include "base/file_system.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <optional>

#include "support/test_support.h"

namespace javelin {
namespace {

using test::TempDir;

bool IsFolder(const std::u16string& path) {
  std::error_code ignored;
  return std::filesystem::is_directory(std::filesystem::path(path), ignored);
}

// Changes the current directory for one test.
class CurrentDirectoryScope {
 public:
  explicit CurrentDirectoryScope(const std::u16string& path)
      : previous_(std::filesystem::current_path()) {
    EXPECT_TRUE(SetCurrentDirectoryPath(path));
  }
  ~CurrentDirectoryScope() { std::filesystem::current_path(previous_); }

 private:
  std::filesystem::path previous_;
};

// Sets (or removes, for nullopt) one variable for one test.
class VariableScope {
 public:
  VariableScope(std::u16string name, std::optional<std::u16string> value) : name_(std::move(name)) {
    std::u16string old;
    if (GetEnvironment(name_, old)) previous_ = old;
    if (value) {
      EXPECT_TRUE(SetEnvironment(name_, *value));
    } else {
      RemoveEnvironment(name_);
    }
  }
  ~VariableScope() {
    if (previous_) {
      SetEnvironment(name_, *previous_);
    } else {
      RemoveEnvironment(name_);
    }
  }

 private:
  std::u16string name_;
  std::optional<std::u16string> previous_;
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
  SplitText(u"abc", u";", pieces);
  EXPECT_EQ(pieces, TextList{u"abc"});
  SplitText(u"", u";", pieces);
  EXPECT_TRUE(pieces.empty());
  SplitText(u";a", u";", pieces);
  EXPECT_EQ(pieces, (TextList{u"", u"a"}));
  SplitText(u";", u";", pieces);
  EXPECT_EQ(pieces, TextList{u""});
  SplitText(u"x::y:z", u"::", pieces);
  EXPECT_EQ(pieces, (TextList{u"x", u"y:z"}));
}

TEST(AbsolutePathExists, IsTrueOnlyForAbsolutePathsThatASearchFinds) {
  TempDir temp;
  test::WriteFile(temp / u"present.txt", "x");
  EXPECT_TRUE(AbsolutePathExists(temp / u"present.txt"));
  EXPECT_TRUE(AbsolutePathExists(temp / u"pre*.txt"));
  EXPECT_TRUE(AbsolutePathExists(temp.path()));
  EXPECT_FALSE(AbsolutePathExists(temp / u"absent.txt"));
  EXPECT_FALSE(AbsolutePathExists(temp.path() + kPathSeparator));
  EXPECT_FALSE(AbsolutePathExists(u""));

  CurrentDirectoryScope inside(temp.path());
  ASSERT_TRUE(test::FileExists(u"present.txt"));
  EXPECT_FALSE(AbsolutePathExists(u"present.txt"));
}

TEST(CreateParentDirectories, CreatesEveryMissingFolderButNotTheFile) {
  TempDir temp;
  const std::u16string file = temp / u"logs/app/day/out.txt";
  EXPECT_EQ(CreateParentDirectories(file), 0u);
  EXPECT_TRUE(IsFolder(temp / u"logs/app/day"));
  EXPECT_FALSE(test::FileExists(file));
  // Folders that are there already are fine, and so is the file itself.
  EXPECT_EQ(CreateParentDirectories(temp / u"logs/app/other/out.txt"), 0u);
  EXPECT_TRUE(IsFolder(temp / u"logs/app/other"));
  test::WriteFile(file, "x");
  EXPECT_EQ(CreateParentDirectories(file), 0u);
}

TEST(CreateParentDirectories, AFailureReturnsAnErrorAndLeavesOlderFoldersAlone) {
  TempDir temp;
  test::WriteFile(temp / u"old/blocker", "a file where a folder must go");
  EXPECT_NE(CreateParentDirectories(temp / u"old/blocker/new/out.txt"), 0u);
  EXPECT_TRUE(IsFolder(temp / u"old"));
  EXPECT_EQ(test::ReadFile(temp / u"old/blocker"), "a file where a folder must go");

  // A name no file system takes: the folder made before it goes again.
  const std::u16string tooLong(300, u'n');
  EXPECT_NE(CreateParentDirectories(temp / (u"old/made/" + tooLong + u"/out.txt")), 0u);
  EXPECT_FALSE(test::FileExists(temp / u"old/made"));
  EXPECT_TRUE(IsFolder(temp / u"old"));
}

class FileFinderTest : public testing::Test {
 protected:
  void SetUp() override {
    for (const char16_t* name : {u"a.txt", u"b.txt", u"ab", u"abc.log", u"x.y.z", u"noext"}) {
      test::WriteFile(temp_ / name, "x");
    }
    test::MakeDirectories(temp_ / u"dir");
  }
  TempDir temp_;
  FileFinder finder_;
};

TEST_F(FileFinderTest, WildcardsMatchAsOnWindowsWithDotEntriesIncluded) {
  const struct {
    const char16_t* pattern;
    TextList names;
  } cases[] = {
      {u"*", {u".", u"..", u"a.txt", u"ab", u"abc.log", u"b.txt", u"dir", u"noext", u"x.y.z"}},
      {u"*.*", {u".", u"..", u"a.txt", u"ab", u"abc.log", u"b.txt", u"dir", u"noext", u"x.y.z"}},
      {u"*.txt", {u"a.txt", u"b.txt"}},
      {u"?.txt", {u"a.txt", u"b.txt"}},
      {u"a*", {u"a.txt", u"ab", u"abc.log"}},
      {u"a?", {u"ab"}},
      {u"??", {u"..", u"ab"}},
      {u"?", {u"."}},
      {u".*", {u".", u".."}},
      {u"ab.*", {u"ab"}},
      {u"abc.*", {u"abc.log"}},
      {u"x.*", {u"x.y.z"}},
      {u"*.z", {u"x.y.z"}},
      {u"*x*", {u"a.txt", u"b.txt", u"noext", u"x.y.z"}},
      {u"*t", {u"a.txt", u"b.txt", u"noext"}},
      {u"a.???", {u"a.txt"}},
      {u"a.????", {}},
      {u"dir", {u"dir"}},
      {u"missing*", {}},
      {u"missing", {}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(SortedMatches(finder_, temp_ / c.pattern), c.names) << ToUtf8(c.pattern);
  }
}

TEST_F(FileFinderTest, ReportsFoldersAndTheDirectoryItSearched) {
  ASSERT_TRUE(finder_.FindFile(temp_ / u"dir"));
  EXPECT_TRUE(finder_.IsDirectory());
  EXPECT_EQ(finder_.Root(), temp_.path());
  ASSERT_TRUE(finder_.FindFile(temp_ / u"a.txt"));
  EXPECT_EQ(finder_.FileName(), u"a.txt");
  EXPECT_FALSE(finder_.IsDirectory());

  // A relative pattern is searched from the current directory, "." and ".."
  // are resolved in the root, and the default pattern finds everything.
  CurrentDirectoryScope inside(temp_ / u"dir");
  ASSERT_TRUE(finder_.FindFile(u"../a*"));
  EXPECT_EQ(finder_.Root(), temp_.path());
  ASSERT_TRUE(finder_.FindFile(u"./../dir/../dir"));
  EXPECT_EQ(finder_.FileName(), u"dir");
  EXPECT_EQ(finder_.Root(), temp_.path());
  ASSERT_TRUE(finder_.FindFile());
  EXPECT_EQ(finder_.Root(), temp_ / u"dir");
  TextList names;
  for (bool more = finder_.Found(); more; more = finder_.FindNext()) names.push_back(finder_.FileName());
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (TextList{u".", u".."}));
}

TEST_F(FileFinderTest, ANewSearchOrAMissEndsTheOneBefore) {
  ASSERT_TRUE(finder_.FindFile(temp_ / u"*.txt"));
  ASSERT_TRUE(finder_.FindFile(temp_ / u"abc.*"));
  EXPECT_EQ(finder_.FileName(), u"abc.log");
  EXPECT_FALSE(finder_.FindNext());
  EXPECT_FALSE(finder_.Found());
  EXPECT_EQ(finder_.FileName(), u"");

  EXPECT_FALSE(finder_.FindFile(temp_ / u"nothing*"));
  EXPECT_FALSE(finder_.Found());
  EXPECT_EQ(finder_.Root(), u"");
  EXPECT_FALSE(finder_.FindNext());
  EXPECT_FALSE(finder_.FindFile(temp_ / u"missing/*"));
  finder_.Close();
  EXPECT_FALSE(finder_.Found());
}

TEST(ExpandEnvironment, ReplacesSetVariablesAndKeepsEveryOtherPercentText) {
  VariableScope set(u"JV_FS_SET", u"value");
  VariableScope empty(u"JV_FS_EMPTY", u"");
  VariableScope wide(u"JV_FS_WIDE", u"Gr\u00FC\u00DFe \u20AC");
  VariableScope unset(u"JV_FS_UNSET", std::nullopt);
  const struct {
    const char16_t* text;
    const char16_t* expanded;
  } cases[] = {
      {u"%JV_FS_SET%", u"value"},
      {u"a%JV_FS_SET%b%JV_FS_SET%", u"avaluebvalue"},
      {u"%JV_FS_WIDE%", u"Gr\u00FC\u00DFe \u20AC"},
      {u"%JV_FS_EMPTY%", u""},
      {u"[%JV_FS_EMPTY%]", u"[]"},
      {u"%JV_FS_UNSET%", u"%JV_FS_UNSET%"},
      {u"%JV_FS_UNSET%%JV_FS_SET%", u"%JV_FS_UNSET%value"},
      {u"%JV_FS_SET%%", u"value%"},
      {u"%JV_FS_SET", u"%JV_FS_SET"},
      {u"100%", u"100%"},
      {u"%", u"%"},
      {u"%%", u"%%"},
      {u"%%%", u"%%%"},
      {u"a % b", u"a % b"},
      {u"no references", u"no references"},
      {u"", u""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ExpandEnvironment(c.text), c.expanded) << ToUtf8(c.text);
  }
}

TEST(Environment, SetEmptyAndRemovedVariablesAreTold) {
  VariableScope scope(u"JV_FS_VARIABLE", std::nullopt);
  std::u16string value = u"untouched";
  EXPECT_FALSE(GetEnvironment(u"JV_FS_VARIABLE", value));
  EXPECT_EQ(value, u"untouched");
  ASSERT_TRUE(SetEnvironment(u"JV_FS_VARIABLE", std::u16string(1000, u'v')));
  EXPECT_TRUE(GetEnvironment(u"JV_FS_VARIABLE", value));
  EXPECT_EQ(value, std::u16string(1000, u'v'));
  ASSERT_TRUE(SetEnvironment(u"JV_FS_VARIABLE", u""));
  EXPECT_TRUE(GetEnvironment(u"JV_FS_VARIABLE", value));
  EXPECT_EQ(value, u"");
  EXPECT_TRUE(RemoveEnvironment(u"JV_FS_VARIABLE"));
  EXPECT_FALSE(GetEnvironment(u"JV_FS_VARIABLE", value));
}

}  // namespace
}  // namespace javelin
