#include <errno.h>
#include <unistd.h>

#include <string>

#include "base/error_reporter.h"
#include "base/message_table.h"
#include "base/module_path.h"
#include "base/text.h"

namespace javelin {

bool GetModulePath(std::u16string& path) {
  std::string buffer(4096, '\0');
  for (;;) {
    const ssize_t length = readlink("/proc/self/exe", &buffer[0], buffer.size());
    if (length < 0) {
      ReportSystemError(kMsgModulePath, static_cast<uint32_t>(errno));
      return false;
    }
    if (static_cast<size_t>(length) < buffer.size()) {
      buffer.resize(static_cast<size_t>(length));
      break;
    }
    buffer.resize(buffer.size() * 2);
  }
  path = FromUtf8(buffer);
  return true;
}

}  // namespace javelin
