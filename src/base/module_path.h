// The launcher's own executable path.
#pragma once

#include <string>

namespace javelin {

// Full path of the running executable. On failure reports message 208 in
// the Windows-error format with the platform's error code, leaves `path`
// unchanged and returns false.
bool GetModulePath(std::u16string& path);

// The module path cut before its last separator (no trailing separator);
// false when the module path cannot be obtained (already reported) or has no
// separator.
bool GetModuleDirectory(std::u16string& directory);

}  // namespace javelin
