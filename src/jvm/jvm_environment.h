// Publishes the chosen runtime to the process environment and builds the
// java.library.path option.
#pragma once

#include <string>

namespace javelin {

class Launcher;

// Sets KV_JVM_PATH, KV_JVM_HOME and the search path variable, and, when a
// "Library Path" is configured, appends "-Djava.library.path=" as the first
// entry of launcher.jvmOptions. Reports nothing.
void PrepareJvmEnvironment(Launcher& launcher);

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
