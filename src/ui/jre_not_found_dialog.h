// Asking the user for a Java runtime when no source yielded one.
#pragma once

#include <string>

namespace javelin {

class Launcher;

// Shows `message` and lets the user choose a runtime folder. True when the
// user confirmed a folder holding a JVM library: then `javaHome` is that
// folder and launcher.jvmLibraryPath the library in it.
bool ShowJreNotFoundDialog(Launcher& launcher, const std::u16string& message,
                           std::u16string& javaHome);

}  // namespace javelin
