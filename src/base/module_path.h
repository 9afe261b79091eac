// The launcher's own executable path.
#pragma once

#include <string>

namespace javelin {

// Full path of the running executable. On failure reports message 208 in
// the Windows-error format with the platform's error code, leaves `path`
// unchanged and returns false.
bool GetModulePath(std::u16string& path);

}  // namespace javelin
