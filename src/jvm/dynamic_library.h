// Loading a shared library into the process and resolving its symbols.
#pragma once

#include <cstdint>
#include <string>

#include "jvm/library_load_error.h"

namespace javelin {

// Makes `directory` visible to the dependencies of libraries loaded later
// (AddDllDirectory on Windows; nothing to do on POSIX, where the JVM finds
// its own dependencies through its RPATH).
void AddLibraryDirectory(const std::u16string& directory);

// Loads the library; null on failure with `error` describing it (Windows:
// the error code; POSIX: dlerror's reason, errno as the code).
void* LoadDynamicLibrary(const std::u16string& path, LibraryLoadError& error);
void* FindLibrarySymbol(void* library, const char* name);

}  // namespace javelin
