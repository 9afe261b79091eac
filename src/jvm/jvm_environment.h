// Publishes the chosen runtime to the process environment and builds the
// java.library.path option.
#pragma once

#include <string>

#include "config/settings.h"

namespace javelin {

// Sets KV_JVM_PATH and KV_JVM_HOME to the chosen runtime and puts the
// configured "System Path" and the runtime's bin folder around the search
// path. Returns the "-Djava.library.path=" option, the first of the JVM's
// options, when a "Library Path" is configured; otherwise empty. `modulePath`
// gives the launcher's folder that the library path includes. Reports
// nothing.
std::u16string PrepareJvmEnvironment(const std::u16string& jvmLibraryPath, const RunOptions& run,
                                     const std::u16string& modulePath);

// Search-path lists. The configuration writes them with ';' on every
// platform, so one INI serves both; the process environment and the JVM's
// path properties use the platform's own list separator: ';' on Windows,
// ':' on POSIX.
extern const char16_t kSearchPathSeparator;
// The variable that holds the executable search path: "Path" on Windows
// (whose environment ignores letter case), "PATH" on POSIX.
extern const char16_t kSearchPathVariable[];

// The Java home of a JVM library: home\bin\kind\jvm.dll gives home on
// Windows; home/lib/kind/libjvm.so and the older home/lib/arch/kind/libjvm.so
// give home on POSIX.
std::u16string JavaHomeOfLibrary(const std::u16string& jvmLibraryPath);
// The runtime folder that holds the programs and, on Windows, the runtime's
// own DLLs: home\bin (the library path less two components) on Windows,
// home/bin on POSIX.
std::u16string RuntimeBinDirectory(const std::u16string& jvmLibraryPath);

}  // namespace javelin
