#include <windows.h>

#include "launcher/process_setup.h"

namespace javelin {

void SetThreadLocaleToSystemDefault() { SetThreadLocale(GetSystemDefaultLCID()); }

}  // namespace javelin
