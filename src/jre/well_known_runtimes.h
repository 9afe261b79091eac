// Folders where today's Java runtimes are unpacked without registering
// themselves: the vendors' folders below the program folders on Windows,
// the SDK managers' and IDEs' folders in the user's home. Searched after
// every other source, so that only launches that would otherwise find no
// Java use them.
#pragma once

#include "base/text.h"

namespace javelin {

// The roots whose subfolders are candidate runtimes, in search order; roots
// whose variables are not set are left out.
TextList WellKnownRuntimeFolders();

}  // namespace javelin
