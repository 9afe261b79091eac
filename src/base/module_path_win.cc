#include <windows.h>

#include "base/error_reporter.h"
#include "base/message_table.h"
#include "base/module_path.h"

namespace javelin {

bool GetModulePath(std::u16string& path) {
  wchar_t buffer[MAX_PATH];
  const DWORD length = GetModuleFileNameW(nullptr, buffer, MAX_PATH);
  if (length == 0) {
    ReportSystemError(kMsgModulePath, GetLastError());
    return false;
  }
  path.assign(reinterpret_cast<const char16_t*>(buffer), length);
  return true;
}

}  // namespace javelin
