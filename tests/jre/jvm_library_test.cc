#include "jre/jvm_library.h"

#include <gtest/gtest.h>

#include "jre/runtime_fixture.h"
#include "launcher/launcher.h"
#include "support/test_support.h"

namespace javelin {
namespace {

using test::LibraryIn;
using test::MakeRuntime;
using test::TempDir;

TEST(JvmLibrarySelection, JvmTypeDecidesBetweenClientAndServerVm) {
  TempDir dir;
  const std::u16string both = MakeRuntime(dir / u"both", {JvmFlavor::kClient, JvmFlavor::kServer});
  bool server = true;
  EXPECT_EQ(SelectJvmLibrary(both, Launcher::kJvmTypeAny, &server),
            LibraryIn(both, JvmFlavor::kClient));
  EXPECT_FALSE(server);
  EXPECT_EQ(SelectJvmLibrary(both, Launcher::kJvmTypeFavorServer, &server),
            LibraryIn(both, JvmFlavor::kServer));
  EXPECT_TRUE(server);
  EXPECT_EQ(SelectJvmLibrary(both, Launcher::kJvmTypeServer, &server),
            LibraryIn(both, JvmFlavor::kServer));
  EXPECT_TRUE(server);

  // "server" insists on the server VM; nothing else is tried.
  const std::u16string client = MakeRuntime(dir / u"client", {JvmFlavor::kClient});
  EXPECT_EQ(SelectJvmLibrary(client, Launcher::kJvmTypeServer, &server), u"");
  EXPECT_FALSE(server);
  EXPECT_EQ(SelectJvmLibrary(client, Launcher::kJvmTypeFavorServer),
            LibraryIn(client, JvmFlavor::kClient));

  // A server-only home still serves "no preference", reporting the server VM.
  const std::u16string serverOnly = MakeRuntime(dir / u"server", {JvmFlavor::kServer});
  EXPECT_EQ(SelectJvmLibrary(serverOnly, Launcher::kJvmTypeAny, &server),
            LibraryIn(serverOnly, JvmFlavor::kServer));
  EXPECT_TRUE(server);
}

TEST(JvmLibrarySelection, OtherVmsAreTriedInTheirOrder) {
  TempDir dir;
  const std::u16string jrockit = MakeRuntime(dir / u"jrockit", {JvmFlavor::kJRockit});
  EXPECT_EQ(SelectJvmLibrary(jrockit, Launcher::kJvmTypeAny), LibraryIn(jrockit, JvmFlavor::kJRockit));
  EXPECT_EQ(SelectJvmLibrary(jrockit, Launcher::kJvmTypeFavorServer),
            LibraryIn(jrockit, JvmFlavor::kJRockit));
  EXPECT_EQ(SelectJvmLibrary(jrockit, Launcher::kJvmTypeServer), u"");

  const std::u16string old = MakeRuntime(
      dir / u"old", {JvmFlavor::kHotspot, JvmFlavor::kClassic, JvmFlavor::kJRockit});
  EXPECT_EQ(SelectJvmLibrary(old, Launcher::kJvmTypeAny), LibraryIn(old, JvmFlavor::kClassic));
  const std::u16string hotspot =
      MakeRuntime(dir / u"hotspot", {JvmFlavor::kHotspot, JvmFlavor::kServer});
  EXPECT_EQ(SelectJvmLibrary(hotspot, Launcher::kJvmTypeAny), LibraryIn(hotspot, JvmFlavor::kHotspot));

  // The runtime marker alone is no JVM library.
  const std::u16string empty = MakeRuntime(dir / u"empty", {});
  bool server = true;
  EXPECT_EQ(SelectJvmLibrary(empty, Launcher::kJvmTypeAny, &server), u"");
  EXPECT_FALSE(server);
  EXPECT_EQ(SelectJvmLibrary(dir / u"missing/", Launcher::kJvmTypeAny), u"");
}

TEST(JvmLibrarySelection, PathExistsForFilesAndFoldersOnly) {
  TempDir dir;
  test::WriteFile(dir / u"a/file.txt", "x");
  EXPECT_TRUE(PathExists(dir / u"a/file.txt"));
  EXPECT_TRUE(PathExists(dir / u"a"));
  EXPECT_FALSE(PathExists(dir / u"a/other.txt"));
  EXPECT_FALSE(PathExists(dir / u"b/file.txt"));
  EXPECT_FALSE(PathExists(u""));
}

JreCandidate Candidate(const char16_t* version, const char16_t* home, bool server = false,
                       bool preferred = false) {
  JreCandidate candidate;
  candidate.version = ParseVersion(version, 0);
  candidate.home = home;
  candidate.isServerVm = server;
  candidate.preferred = preferred;
  return candidate;
}

TextList Homes(const JreCandidateList& list) {
  TextList homes;
  for (const JreCandidate& candidate : list) homes.push_back(candidate.home);
  return homes;
}

TEST(CandidateRanking, HigherVersionFirstWithCollectionOrderForTies) {
  Launcher launcher;
  JreCandidateList list = {Candidate(u"1.7.0_80", u"a"), Candidate(u"1.8", u"b"),
                           Candidate(u"1.8.0_291", u"c"), Candidate(u"1.8", u"d"),
                           Candidate(u"11.0.2", u"e")};
  RankCandidates(list, launcher);
  EXPECT_EQ(Homes(list), (TextList{u"e", u"c", u"b", u"d", u"a"}));
}

TEST(CandidateRanking, FavorServerPutsServerVmsBeforeNewerClientVms) {
  Launcher launcher;
  JreCandidateList list = {Candidate(u"1.8.0_291", u"client18"), Candidate(u"1.7", u"server17", true)};
  RankCandidates(list, launcher);
  EXPECT_EQ(Homes(list), (TextList{u"client18", u"server17"}));

  launcher.jvmType = Launcher::kJvmTypeFavorServer;
  RankCandidates(list, launcher);
  EXPECT_EQ(Homes(list), (TextList{u"server17", u"client18"}));
}

TEST(CandidateRanking, PreferredMarkCountsOnlyWhenBothKindsAreAllowed) {
  Launcher launcher;  // both kinds allowed
  launcher.jvmType = Launcher::kJvmTypeFavorServer;
  JreCandidateList list = {Candidate(u"1.8", u"plain-server", true),
                           Candidate(u"1.7", u"preferred-client", false, true)};
  // The preferred mark outranks the server VM and the version.
  RankCandidates(list, launcher);
  EXPECT_EQ(Homes(list), (TextList{u"preferred-client", u"plain-server"}));

  launcher.bothKindsAllowed = false;  // "only_JDK" or "only_JRE"
  RankCandidates(list, launcher);
  EXPECT_EQ(Homes(list), (TextList{u"plain-server", u"preferred-client"}));
}

TEST(CandidatePick, PreferredVersionsAreTriedInOrderOverTheRankedList) {
  Launcher launcher;
  JreCandidateList list = {Candidate(u"1.6.0_45", u"six"), Candidate(u"1.8.0_291", u"eight"),
                           Candidate(u"1.7.0_80", u"seven")};
  VersionNumber version;
  std::u16string home;
  ASSERT_TRUE(PickCandidate(list, launcher, version, home));
  EXPECT_EQ(home, u"eight");
  EXPECT_EQ(FormatVersion(version), u"1.8.0.291");

  launcher.preferredVersions = {u"1.6", u"1.8"};
  ASSERT_TRUE(PickCandidate(list, launcher, version, home));
  EXPECT_EQ(home, u"six");
  EXPECT_EQ(FormatVersion(version), u"1.6.0.45");

  // An entry that matches nothing passes to the next one.
  launcher.preferredVersions = {u"1.5", u"1.7"};
  ASSERT_TRUE(PickCandidate(list, launcher, version, home));
  EXPECT_EQ(home, u"seven");

  // An entry without digits matches the top-ranked candidate; later entries
  // are never consulted.
  launcher.preferredVersions = {u"latest", u"1.6"};
  ASSERT_TRUE(PickCandidate(list, launcher, version, home));
  EXPECT_EQ(home, u"eight");

  // Nothing matches: the top-ranked candidate.
  launcher.preferredVersions = {u"1.5", u"9"};
  ASSERT_TRUE(PickCandidate(list, launcher, version, home));
  EXPECT_EQ(home, u"eight");
}

TEST(CandidatePick, TwoNamesOfOneHomeRankTheLongerVersionFirst) {
  Launcher launcher;
  JreCandidateList list = {Candidate(u"1.8", u"jre8"), Candidate(u"1.8.0_291", u"jre8")};
  VersionNumber version;
  std::u16string home;
  ASSERT_TRUE(PickCandidate(list, launcher, version, home));
  EXPECT_EQ(home, u"jre8");
  EXPECT_EQ(FormatVersion(version), u"1.8.0.291");

  JreCandidateList empty;
  home = u"unchanged";
  EXPECT_FALSE(PickCandidate(empty, launcher, version, home));
  EXPECT_EQ(home, u"unchanged");
}

}  // namespace
}  // namespace javelin
