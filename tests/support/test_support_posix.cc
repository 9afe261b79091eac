#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "support/test_support.h"

extern char** environ;

namespace javelin::test {

ProcessResult RunProgram(const std::u16string& program, const TextList& arguments,
                         const ProcessOptions& options) {
  TempDir captures;
  const std::string outPath = ToUtf8(captures / u"stdout"), errPath = ToUtf8(captures / u"stderr");
  const std::string directory = ToUtf8(options.workingDirectory);
  std::vector<std::string> argvStorage{ToUtf8(program)}, envStorage;
  for (const auto& argument : arguments) argvStorage.push_back(ToUtf8(argument));
  for (char** e = environ; *e != nullptr; ++e) {
    const std::string entry = *e;
    if (options.environment.count(FromUtf8(entry.substr(0, entry.find('=')))) == 0)
      envStorage.push_back(entry);
  }
  for (const auto& [name, value] : options.environment) {
    if (value) envStorage.push_back(ToUtf8(name) + "=" + ToUtf8(*value));
  }
  std::vector<char*> argv, envp;
  for (auto& a : argvStorage) argv.push_back(&a[0]);
  for (auto& e : envStorage) envp.push_back(&e[0]);
  argv.push_back(nullptr);
  envp.push_back(nullptr);

  // Only async-signal-safe calls between fork and exec.
  const pid_t child = fork();
  if (child == 0) {
    const int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const int in = open("/dev/null", O_RDONLY);
    if (dup2(in, 0) < 0 || dup2(out, 1) < 0 || dup2(err, 2) < 0) _exit(126);
    if (!directory.empty() && chdir(directory.c_str()) != 0) _exit(126);
    execve(argv[0], argv.data(), envp.data());
    _exit(127);
  }
  ProcessResult result;
  if (child < 0) return result;
  const auto deadline = std::chrono::steady_clock::now() +
                        std::chrono::milliseconds(static_cast<long>(options.timeoutSeconds * 1000));
  int status = 0;
  while (waitpid(child, &status, WNOHANG) != child) {
    if (std::chrono::steady_clock::now() > deadline) {
      kill(child, SIGKILL);
      waitpid(child, &status, 0);
      result.errors = "[killed after timeout]";
      break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  if (WIFEXITED(status))
    result.exitCode = WEXITSTATUS(status);
  else if (WIFSIGNALED(status))
    result.exitCode = 128 + WTERMSIG(status);
  result.output = ReadFile(captures / u"stdout");
  result.errors += ReadFile(captures / u"stderr");
  return result;
}

}  // namespace javelin::test
