// The launcher's own executable path.
#pragma once

#include <string>

#include "base/failure.h"

namespace javelin {

// Full path of the running executable, or message 208 in the system-error
// format with the platform's error code (printed by the caller).
Result<std::u16string> GetModulePath();

}  // namespace javelin
