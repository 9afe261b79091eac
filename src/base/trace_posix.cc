#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "base/text.h"
#include "base/trace.h"

namespace javelin {

FILE* OpenTraceFile(const std::u16string& path) {
  // O_NONBLOCK: a FIFO without a reader is refused at once instead of
  // holding up the start.
  const int fd =
      open(ToUtf8(path).c_str(),
           O_WRONLY | O_APPEND | O_CREAT | O_NOFOLLOW | O_CLOEXEC | O_NOCTTY | O_NONBLOCK, 0600);
  if (fd < 0) return nullptr;
  struct stat status;
  if (fstat(fd, &status) != 0 || !S_ISREG(status.st_mode) || status.st_uid != geteuid()) {
    close(fd);
    return nullptr;
  }
  fcntl(fd, F_SETFL, O_APPEND);
  FILE* file = fdopen(fd, "a");
  if (file == nullptr) close(fd);
  return file;
}

}  // namespace javelin
