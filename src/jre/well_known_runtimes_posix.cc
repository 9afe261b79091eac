#include <pwd.h>
#include <stdlib.h>
#include <unistd.h>

#include "jre/well_known_runtimes.h"

namespace javelin {

TextList WellKnownRuntimeFolders() {
  std::string home;
  const char* variable = getenv("HOME");
  if (variable != nullptr && *variable != 0) {
    home = variable;
  } else if (const passwd* entry = getpwuid(getuid())) {
    if (entry->pw_dir != nullptr) home = entry->pw_dir;
  }
  if (home.empty()) return {};
  // SDKMAN!'s installs, then the JDKs that IDEs download.
  return {FromUtf8(home + "/.sdkman/candidates/java"), FromUtf8(home + "/.jdks")};
}

}  // namespace javelin
