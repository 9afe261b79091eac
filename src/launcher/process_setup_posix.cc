#include "launcher/process_setup.h"

namespace javelin {

// Nothing to do: narrow text for the JVM is always UTF-8 here, and the JVM
// sets up the C library's locale itself.
void SetThreadLocaleToSystemDefault() {}

}  // namespace javelin
