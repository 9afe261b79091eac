#include <fcntl.h>
#include <unistd.h>

#include <cstdio>

#include "base/text.h"
#include "jvm/process_stream.h"

namespace javelin {

ProcessStreamFile::ProcessStreamFile(const std::u16string& path, bool append) {
  const int flags = O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC | (append ? 0 : O_TRUNC);
  const int fd = open(ToUtf8(path).c_str(), flags, 0666);
  if (fd >= 0) handle_ = fd;
}

ProcessStreamFile::~ProcessStreamFile() {
  if (valid()) close(static_cast<int>(handle_));
}

bool ProcessStreamFile::Install(ProcessStream stream) {
  if (!valid()) return false;
  const bool output = stream == ProcessStream::kOutput;
  fflush(output ? stdout : stderr);
  // The copy on 1 or 2 is inherited by child processes, as a standard
  // stream should be; the original closes with this object.
  return dup2(static_cast<int>(handle_), output ? STDOUT_FILENO : STDERR_FILENO) >= 0;
}

}  // namespace javelin
