#include <windows.h>

#include "jre/jvm_library.h"

namespace javelin {

bool PathExists(const std::u16string& path) {
  WIN32_FIND_DATAW data;
  HANDLE search = FindFirstFileW(reinterpret_cast<const wchar_t*>(path.c_str()), &data);
  if (search == INVALID_HANDLE_VALUE) return false;
  FindClose(search);
  return true;
}

}  // namespace javelin
