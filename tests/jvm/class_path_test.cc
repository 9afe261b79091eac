#include <algorithm>

#include <gtest/gtest.h>

#include "base/file_system.h"
#include "base/module_path.h"
#include "jvm/jvm_environment.h"
#include "jvm/jvm_options.h"
#include "support/test_support.h"

namespace javelin {
namespace {

using test::JoinPath;
using test::TempDir;
using test::WriteFile;

// A relative entry written with '/' as this platform writes it.
std::u16string Entry(const std::u16string& relative) { return JoinPath(u"", relative); }

// The class path cut into its entries; each must be followed by the list
// separator.
TextList Entries(const std::u16string& classPath) {
  TextList entries;
  if (classPath.empty()) return entries;
  EXPECT_EQ(classPath.back(), kSearchPathSeparator) << ToUtf8(classPath);
  size_t start = 0;
  for (size_t at = classPath.find(kSearchPathSeparator); at != std::u16string::npos;
       at = classPath.find(kSearchPathSeparator, start)) {
    entries.push_back(classPath.substr(start, at - start));
    start = at + 1;
  }
  return entries;
}

TextList Sorted(TextList list) {
  std::sort(list.begin(), list.end());
  return list;
}

struct AppFolder {
  TempDir dir;
  AppFolder() {
    WriteFile(dir / u"lib/a.jar", "");
    WriteFile(dir / u"lib/b.jar", "");
    WriteFile(dir / u"lib/notes.txt", "");
    test::MakeDirectories(dir / u"lib/classes");
    WriteFile(dir / u"app.jar", "");
  }
  std::u16string operator/(const std::u16string& relative) const { return dir / relative; }
};

TEST(ClassPath, WildcardsRelativeAndAbsoluteEntriesInTheirOrder) {
  AppFolder app;
  const std::u16string shared = app / u"shared/x.jar";  // absolute, never looked at
  const std::u16string classPath =
      BuildClassPath(Entry(u"lib/*.jar") + u";" + shared + u";" + u"app.jar", app.dir.path());
  const TextList entries = Entries(classPath);
  ASSERT_EQ(entries.size(), 4u) << ToUtf8(classPath);
  // The two jars come in the order of the directory search.
  EXPECT_EQ(Sorted({entries[0], entries[1]}), (TextList{app / u"lib/a.jar", app / u"lib/b.jar"}));
  EXPECT_EQ(entries[2], shared);
  EXPECT_EQ(entries[3], app / u"app.jar");
}

TEST(ClassPath, MissingRelativeEntriesDisappearAndMissingAbsoluteOnesStay) {
  AppFolder app;
  const std::u16string missingAbsolute = app / u"gone/old.jar";
  EXPECT_EQ(BuildClassPath(u"missing.jar;" + missingAbsolute + u";" + Entry(u"lib/*.zip"),
                           app.dir.path()),
            missingAbsolute + kSearchPathSeparator);
  // Empty entries find nothing, so there is no class path at all.
  EXPECT_EQ(BuildClassPath(u";;", app.dir.path()), u"");
  EXPECT_EQ(BuildClassPath(u"", app.dir.path()), u"");
  // A trailing ';' adds no entry.
  EXPECT_EQ(BuildClassPath(u"app.jar;", app.dir.path()), app / u"app.jar" + kSearchPathSeparator);
}

TEST(ClassPath, AStarMatchesFoldersAndTheDotEntriesToo) {
  AppFolder app;
  const TextList entries = Entries(BuildClassPath(Entry(u"lib/*"), app.dir.path()));
  EXPECT_EQ(Sorted(entries),
            Sorted({app / u"lib/.", app / u"lib/..", app / u"lib/a.jar", app / u"lib/b.jar",
                    app / u"lib/classes", app / u"lib/notes.txt"}));
  // Absolute entries with a star are searched as well; without a star they
  // are taken as written, even with a question mark.
  EXPECT_EQ(Sorted(Entries(BuildClassPath(app / u"lib/*.jar", app.dir.path()))),
            (TextList{app / u"lib/a.jar", app / u"lib/b.jar"}));
  EXPECT_EQ(Entries(BuildClassPath(app / u"lib/?.jar", app.dir.path())),
            (TextList{app / u"lib/?.jar"}));
  EXPECT_EQ(Entries(BuildClassPath(Entry(u"lib/?.jar"), app.dir.path())).size(), 2u);
}

TEST(ClassPath, EntriesMayReferToEnvironmentVariables) {
  AppFolder app;
  SetEnvironment(u"JAVELIN_CLASS_PATH_TEST", app / u"lib");
  // Absolute after expansion: taken as written.
  EXPECT_EQ(BuildClassPath(u"%JAVELIN_CLASS_PATH_TEST%" + Entry(u"/z.jar"), app.dir.path()),
            app / u"lib/z.jar" + kSearchPathSeparator);
  EXPECT_EQ(Entries(BuildClassPath(u"%JAVELIN_CLASS_PATH_TEST%" + Entry(u"/a*"), app.dir.path())),
            (TextList{app / u"lib/a.jar"}));
  // An unknown variable stays as written and so names nothing.
  EXPECT_EQ(BuildClassPath(u"%JAVELIN_NOT_SET_ANYWHERE%" + Entry(u"/a.jar"), app.dir.path()), u"");
}

TEST(ClassPath, RelativeEntriesAreFoundBesideTheLauncher) {
  std::u16string modulePath;
  ASSERT_TRUE(GetModulePath(modulePath));
  const std::u16string name = modulePath.substr(modulePath.rfind(kPathSeparator) + 1);
  EXPECT_EQ(BuildClassPath(name), modulePath + kSearchPathSeparator);
  std::u16string classPath = u"kept" + std::u16string(1, kSearchPathSeparator);
  ResolveClassPathEntry(name, classPath);
  EXPECT_EQ(classPath, u"kept" + std::u16string(1, kSearchPathSeparator) + modulePath +
                           kSearchPathSeparator);
}

}  // namespace
}  // namespace javelin
