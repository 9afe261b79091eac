#include <windows.h>

#include "base/win_support.h"
#include "jvm/dynamic_library.h"

namespace javelin {

// The directory stays in the search list for the life of the process.
void AddLibraryDirectory(const std::u16string& directory) { AddDllDirectory(W(directory)); }

void* LoadDynamicLibrary(const std::u16string& path, LibraryLoadError& error) {
  // The default directories include those added with AddDllDirectory, where
  // the JVM library's own dependencies live.
  HMODULE module = LoadLibraryExW(W(path), nullptr, LOAD_LIBRARY_SEARCH_DEFAULT_DIRS);
  // Windows errors are shown by number: no reason text.
  error = LibraryLoadError{};
  if (module == nullptr) error.code = GetLastError();
  return module;
}

void* FindLibrarySymbol(void* library, const char* name) {
  return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(library), name));
}

}  // namespace javelin
