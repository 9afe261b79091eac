// Process-wide preparations of the entry point.
#pragma once

namespace javelin {

// Windows: the main thread's locale becomes the system default, so that
// narrow text for the JVM follows the system's ANSI code page.
void SetThreadLocaleToSystemDefault();

}  // namespace javelin
