#include <windows.h>

#include "base/message_table.h"
#include "base/module_path.h"

namespace javelin {

Result<std::u16string> GetModulePath() {
  wchar_t buffer[MAX_PATH];
  const DWORD length = GetModuleFileNameW(nullptr, buffer, MAX_PATH);
  if (length == 0) {
    return SystemErrorFailure(kMsgModulePath, GetLastError());
  }
  return std::u16string(reinterpret_cast<const char16_t*>(buffer), length);
}

}  // namespace javelin
