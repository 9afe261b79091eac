// Process-wide preparations of the entry point.
#pragma once

#include "base/process_context.h"

namespace javelin {

// The module path (message 208 reported once when it cannot be read), its
// folder, the configuration file beside it and the command-line arguments.
ProcessContext ReadProcessContext();

// Windows: the main thread's locale becomes the system default, so that
// narrow text for the JVM follows the system's ANSI code page.
void SetThreadLocaleToSystemDefault();

}  // namespace javelin
