// The trace file holds arguments and JVM options: it must stay this user's
// and must not leak into child processes or through links.
#include "base/trace.h"

#ifdef _WIN32
#include <windows.h>

#include <io.h>

#include "base/current_user_win.h"
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <gtest/gtest.h>

#include "support/test_support.h"

namespace javelin {
namespace {

bool Appends(FILE* file) {
  if (file == nullptr) return false;
  const bool written = fputs("line\n", file) >= 0 && fflush(file) == 0;
  fclose(file);
  return written;
}

#ifndef _WIN32
// A new file is 0600 whatever the umask and closed on exec; an existing file
// of this user is appended to. A link (even to a file of this user), a FIFO
// and a file of another user are refused and left as they are.
TEST(TraceFile, IsPrivateAndRefusesLinksAndOtherUsersFiles) {
  test::TempDir dir;
  const mode_t oldMask = umask(0);
  FILE* created = OpenTraceFile(dir / u"new.txt");
  umask(oldMask);
  ASSERT_NE(created, nullptr);
  EXPECT_NE(fcntl(fileno(created), F_GETFD) & FD_CLOEXEC, 0);
  struct stat status;
  ASSERT_EQ(stat(ToUtf8(dir / u"new.txt").c_str(), &status), 0);
  EXPECT_EQ(status.st_mode & 0777, 0600u);
  EXPECT_TRUE(Appends(created));
  EXPECT_TRUE(Appends(OpenTraceFile(dir / u"new.txt")));
  EXPECT_EQ(test::ReadFile(dir / u"new.txt"), "line\nline\n");

  ASSERT_EQ(symlink(ToUtf8(dir / u"new.txt").c_str(), ToUtf8(dir / u"link.txt").c_str()), 0);
  ASSERT_EQ(symlink(ToUtf8(dir / u"absent.txt").c_str(), ToUtf8(dir / u"dangling.txt").c_str()), 0);
  ASSERT_EQ(mkfifo(ToUtf8(dir / u"fifo").c_str(), 0600), 0);
  for (const char16_t* name : {u"link.txt", u"dangling.txt", u"fifo"}) {
    SCOPED_TRACE(ToUtf8(name));
    EXPECT_EQ(OpenTraceFile(dir / name), nullptr);
  }
  EXPECT_EQ(test::ReadFile(dir / u"new.txt"), "line\nline\n");
  EXPECT_FALSE(test::FileExists(dir / u"absent.txt"));

  if (geteuid() != 0) GTEST_SKIP() << "giving a file to another user needs root";
  test::WriteFile(dir / u"theirs.txt", "theirs\n");
  ASSERT_EQ(chown(ToUtf8(dir / u"theirs.txt").c_str(), 65534, 65534), 0);
  EXPECT_EQ(OpenTraceFile(dir / u"theirs.txt"), nullptr);
  EXPECT_EQ(test::ReadFile(dir / u"theirs.txt"), "theirs\n");
}
#else
// A new file belongs to this user and its handle is not inherited; a
// symbolic link is refused and its target left alone.
TEST(TraceFile, IsThisUsersNotInheritedAndRefusesLinks) {
  test::TempDir dir;
  FILE* created = OpenTraceFile(dir / u"new.txt");
  ASSERT_NE(created, nullptr);
  HANDLE handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(created)));
  DWORD flags = 0;
  ASSERT_TRUE(GetHandleInformation(handle, &flags));
  EXPECT_EQ(flags & HANDLE_FLAG_INHERIT, 0u);
  EXPECT_TRUE(IsOwnedByCurrentUser(handle, SE_FILE_OBJECT));
  EXPECT_TRUE(Appends(created));
  EXPECT_TRUE(Appends(OpenTraceFile(dir / u"new.txt")));
  EXPECT_EQ(test::ReadFile(dir / u"new.txt"), "line\nline\n");

  const std::u16string link = dir / u"link.txt";
  if (!CreateSymbolicLinkW(reinterpret_cast<const wchar_t*>(link.c_str()),
                           reinterpret_cast<const wchar_t*>((dir / u"new.txt").c_str()), 0)) {
    GTEST_SKIP() << "no symbolic links here (error " << GetLastError() << ")";
  }
  const DWORD attributes = GetFileAttributesW(reinterpret_cast<const wchar_t*>(link.c_str()));
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0) {
    GTEST_SKIP()
        << "this system does not show a symbolic link as a reparse point (Wine): nothing to refuse";
  }
  EXPECT_EQ(OpenTraceFile(link), nullptr);
  EXPECT_EQ(test::ReadFile(dir / u"new.txt"), "line\nline\n");
}
#endif

}  // namespace
}  // namespace javelin
