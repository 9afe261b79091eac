#include "base/file_system.h"
#include "base/module_path.h"

namespace javelin {

bool GetModuleDirectory(std::u16string& directory) {
  std::u16string path;
  if (!GetModulePath(path)) return false;
  const size_t last = path.rfind(kPathSeparator);
  if (last == std::u16string::npos || last == 0) return false;
  directory = path.substr(0, last);
  return true;
}

}  // namespace javelin
