// The Windows launcher records no AOT configuration (see
// startup_cache_win.cc): the JVM's console output needs no filter.
#include "jvm/vm_output_filter.h"

namespace javelin {

VmOutputHook VmOutputFilterHook() { return nullptr; }

}  // namespace javelin
