#include <sys/stat.h>

#include "base/text.h"
#include "jre/jvm_library.h"

namespace javelin {

bool PathExists(const std::u16string& path) {
  struct stat info;
  return !path.empty() && stat(ToUtf8(path).c_str(), &info) == 0;
}

}  // namespace javelin
