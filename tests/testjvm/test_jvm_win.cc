#include <windows.h>

#include <cstring>

#include "test_jvm.h"

namespace testjvm {

FILE* OpenBesideLibrary(const char* name, const char* mode) {
  HMODULE module = nullptr;
  GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                     reinterpret_cast<LPCWSTR>(&OpenBesideLibrary), &module);
  wchar_t buffer[4096];
  const std::wstring library(buffer, GetModuleFileNameW(module, buffer, 4096));
  const std::wstring path = library.substr(0, library.rfind(L'\\') + 1) + std::wstring(name, name + strlen(name));
  return _wfopen(path.c_str(), std::wstring(mode, mode + strlen(mode)).c_str());
}

FILE* OpenStreamFile(const std::u16string& path, bool append) {
  return _wfopen(reinterpret_cast<const wchar_t*>(path.c_str()), append ? L"ab" : L"wb");
}

}  // namespace testjvm
