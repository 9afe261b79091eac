#include <errno.h>
#include <stdio.h>

#include "base/error_reporter.h"
#include "base/text.h"

namespace javelin {

void WriteStandardOutput(const std::u16string& text) {
  const std::string bytes = ToUtf8(text);
  fwrite(bytes.data(), 1, bytes.size(), stdout);
  fflush(stdout);
}

uint32_t LastErrorCode() { return static_cast<uint32_t>(errno); }

}  // namespace javelin
