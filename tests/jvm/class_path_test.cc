#include <algorithm>

#include <gtest/gtest.h>

#include "base/file_system.h"
#include "jvm/jvm_environment.h"
#include "jvm/class_path.h"
#include "support/test_support.h"

namespace javelin {
namespace {

using test::JoinPath;

// The class path cut into its entries, sorted. It never ends in the list
// separator and holds no empty entry: the JVM would read the current
// directory for either.
TextList SortedEntries(const std::u16string& classPath) {
  TextList entries;
  if (classPath.empty()) return entries;
  EXPECT_NE(classPath.back(), kSearchPathSeparator) << ToUtf8(classPath);
  for (size_t start = 0, end = 0; end != std::u16string::npos; start = end + 1) {
    end = classPath.find(kSearchPathSeparator, start);
    entries.push_back(classPath.substr(start, end - start));
    EXPECT_FALSE(entries.back().empty()) << ToUtf8(classPath);
  }
  std::sort(entries.begin(), entries.end());
  return entries;
}

TEST(ClassPath, RelativeEntriesAndStarsAreSearchedAndAbsoluteOnesTakenAsWritten) {
  test::TempDir app;
  for (const char16_t* file : {u"lib/a.jar", u"lib/b.jar", u"lib/notes.txt", u"app.jar"}) {
    test::WriteFile(app / file, "");
  }
  test::MakeDirectories(app / u"lib/classes");
  SetEnvironment(u"JAVELIN_CLASS_PATH_TEST", app / u"lib");
  const std::u16string lib = JoinPath(u"", u"lib/");
  const struct {
    std::u16string value;  // the "Class Path" setting
    TextList entries;      // relative to the launcher's folder unless absolute
  } cases[] = {
      {lib + u"*.jar;" + app / u"gone/x.jar;app.jar",
       {u"app.jar", u"gone/x.jar", u"lib/a.jar", u"lib/b.jar"}},
      // A star also matches folders and the dot entries.
      {lib + u"*",
       {u"lib/.", u"lib/..", u"lib/a.jar", u"lib/b.jar", u"lib/classes", u"lib/notes.txt"}},
      // Absolute entries are searched only with a star; "?" is no star.
      {app / u"lib/*.jar", {u"lib/a.jar", u"lib/b.jar"}},
      {app / u"lib/?.jar", {u"lib/?.jar"}},
      // Missing relative entries disappear; empty entries find nothing.
      {u"missing.jar;;" + lib + u"*.zip", {}},
      {u"app.jar;", {u"app.jar"}},
      {u" app.jar", {u"app.jar"}},  // the blank of a value from a "+" section
      // Variables are expanded first.
      {u"%JAVELIN_CLASS_PATH_TEST%" + JoinPath(u"", u"/z.jar"), {u"lib/z.jar"}},
  };
  for (const auto& test : cases) {
    TextList expected;
    for (const std::u16string& entry : test.entries) expected.push_back(app / entry);
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(SortedEntries(BuildClassPath(test.value, app.path())), expected)
        << ToUtf8(test.value);
  }
}

}  // namespace
}  // namespace javelin
