#include "jre/runtime_layout.h"

#include "base/file_system.h"

namespace javelin {

bool HasRuntimeMarker(const std::u16string& home) {
  for (const std::u16string& relative : RuntimeMarkerPaths()) {
    if (PathExists(home + relative)) return true;
  }
  return false;
}

}  // namespace javelin
