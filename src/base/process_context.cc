#include "base/process_context.h"

#include "base/file_system.h"

namespace javelin {

std::u16string ModuleDirectoryOf(const std::u16string& modulePath) {
  const size_t last = modulePath.rfind(kPathSeparator);
  if (last == std::u16string::npos || last == 0) return {};
  return modulePath.substr(0, last);
}

}  // namespace javelin
