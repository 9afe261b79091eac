#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "base/error_reporter.h"
#include "launcher/process_setup.h"

namespace javelin {

namespace {

bool HasControllingTerminal() {
  const int terminal = open("/dev/tty", O_RDONLY | O_NOCTTY | O_CLOEXEC);
  if (terminal < 0) return false;
  close(terminal);
  return true;
}

// A terminal, a file or a pipe: someone (a user, a script) reads what is
// written there. A menu start leaves /dev/null, the journal's socket or
// nothing at all.
bool OutputIsRead(int descriptor) {
  struct stat status;
  if (fstat(descriptor, &status) != 0) return false;
  return isatty(descriptor) || S_ISREG(status.st_mode) || S_ISFIFO(status.st_mode);
}

}  // namespace

void PrepareStandardHandles() {
  if (!HasControllingTerminal() && !OutputIsRead(STDOUT_FILENO)) AllowErrorDialogs(true);
  // A closed standard descriptor would be reused by the next file the JVM
  // opens, and System.out would write into that file.
  for (int descriptor = STDIN_FILENO; descriptor <= STDERR_FILENO; ++descriptor) {
    if (fcntl(descriptor, F_GETFD) != -1 || errno != EBADF) continue;
    const int null = open("/dev/null", descriptor == STDIN_FILENO ? O_RDONLY : O_WRONLY);
    if (null >= 0 && null != descriptor) {
      dup2(null, descriptor);
      close(null);
    }
  }
}

// Nothing to do: narrow text for the JVM is always UTF-8 here, and the JVM
// sets up the C library's locale itself.
void SetThreadLocaleToSystemDefault() {}

}  // namespace javelin
