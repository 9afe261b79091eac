#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cstdio>

#include "base/win_support.h"
#include "jvm/process_stream.h"

namespace javelin {

namespace {

// Readers and other writers (System.out's own stream) may open the file too.
constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

}  // namespace

ProcessStreamFile::ProcessStreamFile(const std::u16string& path, bool append) {
  const wchar_t* name = W(path);
  if (!append) {
    // Truncating needs write access, which would also allow writing in the
    // middle: it is a step of its own.
    HANDLE truncated = CreateFileW(name, GENERIC_WRITE, kShareAll, nullptr, CREATE_ALWAYS,
                                   FILE_ATTRIBUTE_NORMAL, nullptr);
    if (truncated == INVALID_HANDLE_VALUE) return;
    CloseHandle(truncated);
  }
  // Append-only access: every write goes to the end of the file.
  SECURITY_ATTRIBUTES inheritable{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
  HANDLE file = CreateFileW(name, FILE_APPEND_DATA | SYNCHRONIZE, kShareAll, &inheritable,
                            OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file != INVALID_HANDLE_VALUE) handle_ = reinterpret_cast<intptr_t>(file);
}

ProcessStreamFile::~ProcessStreamFile() {
  if (valid()) CloseHandle(reinterpret_cast<HANDLE>(handle_));
}

bool ProcessStreamFile::Install(ProcessStream stream) {
  if (!valid()) return false;
  const bool output = stream == ProcessStream::kOutput;
  const DWORD standard = output ? STD_OUTPUT_HANDLE : STD_ERROR_HANDLE;
  const int target = output ? 1 : 2;
  fflush(output ? stdout : stderr);
  const intptr_t current = _get_osfhandle(target);
  if (current != -1 && current != -2) {
    // An open descriptor (a console or pipe the process was started with)
    // keeps its handle: replacing it would close that handle, which the
    // JVM's own C runtime may still hold, and a closed handle's value can
    // be reused for an unrelated file. Only the standard handle changes.
    if (!SetStdHandle(standard, reinterpret_cast<HANDLE>(handle_))) return false;
    handle_ = kInvalid;  // the process's now, for good
    return true;
  }
  // No descriptor (a service, a program started without standard streams):
  // it takes a copy of the handle of its own, and the standard handle names
  // that copy.
  HANDLE copy = nullptr;
  if (!DuplicateHandle(GetCurrentProcess(), reinterpret_cast<HANDLE>(handle_), GetCurrentProcess(),
                       &copy, 0, TRUE, DUPLICATE_SAME_ACCESS)) {
    return false;
  }
  const int fd =
      _open_osfhandle(reinterpret_cast<intptr_t>(copy), _O_WRONLY | _O_APPEND | _O_BINARY);
  if (fd < 0) {
    CloseHandle(copy);
    return false;
  }
  const bool duplicated = _dup2(fd, target) == 0;
  _close(fd);
  if (!duplicated) return false;
  SetStdHandle(standard, reinterpret_cast<HANDLE>(_get_osfhandle(target)));
  return true;
}

}  // namespace javelin
