// Loading a shared library into the process and resolving its symbols.
#pragma once

#include <cstdint>
#include <string>

namespace javelin {

// Makes `directory` visible to the dependencies of libraries loaded later
// (AddDllDirectory on Windows; nothing to do on POSIX, where the JVM finds
// its own dependencies through its RPATH).
void AddLibraryDirectory(const std::u16string& directory);

// Loads the library; null on failure with `errorCode` set.
void* LoadDynamicLibrary(const std::u16string& path, uint32_t& errorCode);
void* FindLibrarySymbol(void* library, const char* name);

}  // namespace javelin
