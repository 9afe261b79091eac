#include "jvm/jvm_environment.h"

namespace javelin {

void PrepareJvmEnvironment(Launcher&) {}

}  // namespace javelin
