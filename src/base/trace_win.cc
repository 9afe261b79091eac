#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include "base/current_user_win.h"
#include "base/trace.h"
#include "base/win_support.h"

namespace javelin {

FILE* OpenTraceFile(const std::u16string& path) {
  PrivateSecurity security;  // a new file is this user's alone; the handle is not inherited
  SECURITY_ATTRIBUTES notInherited{sizeof notInherited, nullptr, FALSE};
  // FILE_FLAG_OPEN_REPARSE_POINT opens a link itself instead of its target,
  // and the check below refuses it.
  HANDLE handle = CreateFileW(
      W(path), FILE_APPEND_DATA | READ_CONTROL | SYNCHRONIZE, FILE_SHARE_READ | FILE_SHARE_WRITE,
      security.get() != nullptr ? security.get() : &notInherited, OPEN_ALWAYS,
      FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return nullptr;
  // Where the handle's attributes do not tell (some emulations open the
  // target anyway), the name's own attributes still show a link.
  const DWORD named = GetFileAttributesW(W(path));
  BY_HANDLE_FILE_INFORMATION information;
  const bool usable =
      named != INVALID_FILE_ATTRIBUTES && (named & FILE_ATTRIBUTE_REPARSE_POINT) == 0 &&
      GetFileInformationByHandle(handle, &information) &&
      (information.dwFileAttributes & (FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY)) ==
          0 &&
      GetFileType(handle) == FILE_TYPE_DISK && IsOwnedByCurrentUser(handle, SE_FILE_OBJECT);
  if (!usable) {
    CloseHandle(handle);
    return nullptr;
  }
  const int fd =
      _open_osfhandle(reinterpret_cast<intptr_t>(handle), _O_APPEND | _O_WRONLY | _O_BINARY);
  if (fd < 0) {
    CloseHandle(handle);
    return nullptr;
  }
  FILE* file = _fdopen(fd, "ab");
  if (file == nullptr) _close(fd);
  return file;
}

}  // namespace javelin
