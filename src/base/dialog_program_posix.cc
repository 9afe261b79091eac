#include "base/dialog_program_posix.h"

#include <errno.h>
#include <fcntl.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace javelin {

namespace {

// The first executable `name` in the folders of PATH.
std::optional<std::string> FindOnPath(const std::string& name) {
  const char* path = getenv("PATH");
  if (path == nullptr) return std::nullopt;
  const std::string folders = path;
  size_t start = 0;
  for (;;) {
    const size_t end = folders.find(':', start);
    const std::string folder =
        folders.substr(start, end == std::string::npos ? std::string::npos : end - start);
    // An empty entry or a relative one would depend on the working folder.
    if (!folder.empty() && folder[0] == '/') {
      const std::string candidate = folder + "/" + name;
      if (access(candidate.c_str(), X_OK) == 0) return candidate;
    }
    if (end == std::string::npos) return std::nullopt;
    start = end + 1;
  }
}

bool IsSet(const char* name) {
  const char* value = getenv(name);
  return value != nullptr && value[0] != '\0';
}

}  // namespace

std::optional<DialogProgram> FindDialogProgram() {
  if (!IsSet("WAYLAND_DISPLAY") && !IsSet("DISPLAY")) return std::nullopt;
  if (std::optional<std::string> zenity = FindOnPath("zenity"))
    return DialogProgram{*zenity, false};
  if (std::optional<std::string> kdialog = FindOnPath("kdialog"))
    return DialogProgram{*kdialog, true};
  return std::nullopt;
}

DialogAnswer RunDialogProgram(const DialogProgram& program,
                              const std::vector<std::string>& arguments) {
  DialogAnswer answer;
  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(program.path.c_str()));
  for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);

  int output[2];
  if (pipe2(output, O_CLOEXEC) != 0) return answer;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_adddup2(&actions, output[1], STDOUT_FILENO);
  // The toolkit's warnings are no answer.
  posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
  pid_t child = 0;
  const int spawned =
      posix_spawn(&child, program.path.c_str(), &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  close(output[1]);
  if (spawned != 0) {
    close(output[0]);
    return answer;
  }
  char buffer[4096];
  for (;;) {
    const ssize_t got = read(output[0], buffer, sizeof(buffer));
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) break;
    answer.output.append(buffer, static_cast<size_t>(got));
  }
  close(output[0]);
  int status = 0;
  while (waitpid(child, &status, 0) < 0) {
    if (errno != EINTR) return answer;
  }
  if (WIFEXITED(status)) answer.status = WEXITSTATUS(status);
  return answer;
}

}  // namespace javelin
