// POSIX launchers record AOT configurations (see startup_cache_posix.cc).
#include "jvm/vm_output_filter.h"

namespace javelin {

VmOutputHook VmOutputFilterHook() { return &FilterVmOutput; }

}  // namespace javelin
