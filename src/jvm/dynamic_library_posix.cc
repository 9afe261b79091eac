#include "jvm/dynamic_library.h"

namespace javelin {

void AddLibraryDirectory(const std::u16string&) {}
void* LoadDynamicLibrary(const std::u16string&, uint32_t& errorCode) { errorCode = 0; return nullptr; }
void* FindLibrarySymbol(void*, const char*) { return nullptr; }

}  // namespace javelin
