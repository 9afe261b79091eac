// Where a Java home keeps its JVM libraries and the file that marks a folder
// as a Java runtime. The layout differs per platform; the search logic that
// uses it does not.
#pragma once

#include <string>

#include "base/text.h"

namespace javelin {

// The virtual machines a home can hold, in the order they are tried when no
// particular kind is asked for.
enum class JvmFlavor { kClient, kClassic, kHotspot, kServer, kJRockit };

// Paths of the JVM library of one flavor relative to a home, in the order
// they are tried (more than one where older runtimes used another layout).
TextList JvmLibraryPaths(JvmFlavor flavor);

// Paths relative to a home of which one must exist for the folder to count
// as a Java runtime ("bin\java.dll" on Windows).
TextList RuntimeMarkerPaths();

// Paths relative to a home of the Java compiler, which makes a runtime a JDK
// ("bin\javac.exe" on Windows, "bin/javac" elsewhere).
TextList CompilerPaths();

// True when one of the runtime markers exists in `home` (which ends in the
// separator).
bool HasRuntimeMarker(const std::u16string& home);

}  // namespace javelin
