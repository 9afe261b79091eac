#include <windows.h>

#include "jvm/vm_parameters.h"

namespace javelin {

MemoryFigures ReadMemoryFigures() {
  // A 32-bit process sees figures that Windows caps near 4 GB; a 64-bit one
  // sees the full values.
  MEMORYSTATUS status = {};
  status.dwLength = sizeof(status);
  GlobalMemoryStatus(&status);
  MemoryFigures figures;
  figures.totalPhysical = status.dwTotalPhys;
  figures.availableVirtual = status.dwAvailVirtual;
  return figures;
}

}  // namespace javelin
