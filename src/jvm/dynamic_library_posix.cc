#include <dlfcn.h>
#include <errno.h>

#include "base/text.h"
#include "jvm/dynamic_library.h"

namespace javelin {

// The JVM library finds its own dependencies (libjava, libjsig, ...) through
// its RPATH, so no search directory needs to be added.
void AddLibraryDirectory(const std::u16string&) {}

void* LoadDynamicLibrary(const std::u16string& path, LibraryLoadError& error) {
  errno = 0;
  dlerror();  // forget an older failure
  // RTLD_GLOBAL: the JVM's own libraries resolve JVM_* symbols from it.
  void* library = dlopen(ToUtf8(path).c_str(), RTLD_NOW | RTLD_GLOBAL);
  error = LibraryLoadError{};
  if (library == nullptr) {
    // dlopen documents no errno; its reason is the text dlerror keeps.
    error.code = static_cast<uint32_t>(errno);
    const char* reason = dlerror();
    error.reason = FromUtf8(reason != nullptr ? reason : "dlopen failed");
  }
  return library;
}

void* FindLibrarySymbol(void* library, const char* name) {
  errno = 0;
  return dlsym(library, name);
}

}  // namespace javelin
