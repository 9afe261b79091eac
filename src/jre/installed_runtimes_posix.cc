#include "jre/installed_runtimes_posix.h"

namespace javelin {

TextList DefaultRuntimeFolders() {
#if defined(__APPLE__)
  return {u"/Library/Java/JavaVirtualMachines", u"/usr/java", u"/opt/java", u"/usr/local/java"};
#else
  return {u"/usr/lib/jvm", u"/usr/java", u"/opt/java", u"/usr/local/java"};
#endif
}

std::optional<InstalledRuntime> FindInstalledRuntime(const RuntimeRequirements& runtime,
                                                     bool alternateView) {
  if (alternateView) return std::nullopt;
  return FindInRuntimeFolders(runtime, DefaultRuntimeFolders());
}

}  // namespace javelin
