// The installed-runtimes source on Linux and other POSIX systems: the Java
// installation folders (see runtime_folders.h for how a folder is read).
#pragma once

#include <optional>
#include <string>

#include "base/text.h"
#include "jre/installed_runtimes.h"
#include "jre/runtime_folders.h"

namespace javelin {

// /usr/lib/jvm, /usr/java, /opt/java, /usr/local/java (and the system's
// Java folder on macOS), in this order.
TextList DefaultRuntimeFolders();

}  // namespace javelin
