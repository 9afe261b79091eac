#include <dlfcn.h>

#include "test_jvm.h"

namespace testjvm {

FILE* OpenBesideLibrary(const char* name, const char* mode) {
  Dl_info info;
  if (dladdr(reinterpret_cast<void*>(&OpenBesideLibrary), &info) == 0 || info.dli_fname == nullptr) return nullptr;
  const std::string library = info.dli_fname;
  return fopen((library.substr(0, library.rfind('/') + 1) + name).c_str(), mode);
}

// Modified UTF-8 is UTF-8 for the paths the tests use (all in the BMP).
FILE* OpenStreamFile(const std::u16string& path, bool append) {
  return fopen(ToModifiedUtf8(path).c_str(), append ? "ab" : "wb");
}

}  // namespace testjvm
