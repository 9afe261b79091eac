#include <windows.h>

#include "base/error_reporter.h"
#include "launcher/process_setup.h"

namespace javelin {

namespace {

// Whether this executable was linked for the GUI subsystem (the windowless
// launcher): the console launcher always has a console to write to, and
// without standard handles it runs as a service or detached, where nobody
// could close a dialog.
bool IsWindowlessLauncher() {
  const auto* image = reinterpret_cast<const unsigned char*>(GetModuleHandleW(nullptr));
  const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(image);
  const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(image + dos->e_lfanew);
  return nt->OptionalHeader.Subsystem == IMAGE_SUBSYSTEM_WINDOWS_GUI;
}

bool IsMissing(HANDLE handle) {
  return handle == nullptr || handle == INVALID_HANDLE_VALUE ||
         GetFileType(handle) == FILE_TYPE_UNKNOWN;
}

}  // namespace

void PrepareStandardHandles() {
  if (!IsWindowlessLauncher() || !IsMissing(GetStdHandle(STD_OUTPUT_HANDLE))) return;
  AllowErrorDialogs(true);
  // Started from Explorer or the Start menu: the JVM takes System.in, out
  // and err from the standard handles, so those that are missing become the
  // null device (inheritable, like handles a parent passes on).
  SECURITY_ATTRIBUTES inheritable{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
  for (const DWORD which : {STD_INPUT_HANDLE, STD_OUTPUT_HANDLE, STD_ERROR_HANDLE}) {
    if (!IsMissing(GetStdHandle(which))) continue;
    const HANDLE null =
        CreateFileW(L"NUL", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                    &inheritable, OPEN_EXISTING, 0, nullptr);
    if (null != INVALID_HANDLE_VALUE) SetStdHandle(which, null);
  }
}

void SetThreadLocaleToSystemDefault() { SetThreadLocale(GetSystemDefaultLCID()); }

}  // namespace javelin
