// Process-wide preparations of the entry point.
#pragma once

#include "base/process_context.h"

namespace javelin {

// The module path (message 208 reported once when it cannot be read), its
// folder, the configuration file beside it and the command-line arguments.
ProcessContext ReadProcessContext();

// Decides, before anything is reported, whether errors go to a dialog: when
// the launcher runs on a desktop with no standard output a user reads
// (Windows: the windowless launcher started without a standard output;
// POSIX: no controlling terminal, and standard output is neither a terminal,
// a file nor a pipe). Standard handles that are missing then lead to the
// null device, so that the Java program's System.out and System.err are
// writable and go nowhere.
void PrepareStandardHandles();

// Windows: the main thread's locale becomes the system default, so that
// narrow text for the JVM follows the system's ANSI code page.
void SetThreadLocaleToSystemDefault();

}  // namespace javelin
