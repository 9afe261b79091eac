#include <errno.h>
#include <unistd.h>

#include <string>

#include "base/message_table.h"
#include "base/module_path.h"
#include "base/text.h"

namespace javelin {

Result<std::u16string> GetModulePath() {
  std::string buffer(4096, '\0');
  for (;;) {
    const ssize_t length = readlink("/proc/self/exe", &buffer[0], buffer.size());
    if (length < 0) {
      return SystemErrorFailure(kMsgModulePath, static_cast<uint32_t>(errno));
    }
    if (static_cast<size_t>(length) < buffer.size()) {
      buffer.resize(static_cast<size_t>(length));
      break;
    }
    buffer.resize(buffer.size() * 2);
  }
  return FromUtf8(buffer);
}

}  // namespace javelin
