#include <errno.h>
#include <spawn.h>
#include <sys/wait.h>

#include <string>
#include <vector>

#include "base/text.h"
#include "config/command_line.h"
#include "launcher/pair_process.h"

extern char** environ;

namespace javelin {

int StartPairProcess(const std::u16string& executable, bool waitForExit) {
  const std::string path = ToUtf8(executable);
  // The pair gets exactly this process's argv, its own name included.
  std::vector<char*> argv;
  char** recorded = RecordedArguments();
  for (int i = 0; recorded != nullptr && i < RecordedArgumentCount(); ++i)
    argv.push_back(recorded[i]);
  if (argv.empty()) argv.push_back(const_cast<char*>(path.c_str()));
  argv.push_back(nullptr);

  pid_t child = 0;
  if (posix_spawn(&child, path.c_str(), nullptr, nullptr, argv.data(), environ) != 0) return 0;
  if (!waitForExit) return 0;
  int status = 0;
  while (waitpid(child, &status, 0) < 0) {
    if (errno != EINTR) return 0;
  }
  if (WIFEXITED(status)) return WEXITSTATUS(status);
  if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
  return 0;
}

}  // namespace javelin
