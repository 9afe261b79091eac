#include "jvm/jvm_options.h"

namespace javelin {

bool AssembleJvmOptions(Launcher&) { return false; }
std::u16string BuildClassPath(const std::u16string&) { return {}; }
void ResolveClassPathEntry(const std::u16string&, std::u16string&) {}

}  // namespace javelin
