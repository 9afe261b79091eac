#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "support/test_support.h"

extern char** environ;

namespace javelin::test {

std::u16string HostPath(const char* path) { return FromUtf8(path); }

TempDir::TempDir() {
  const char* base = getenv("TMPDIR");
  std::string pattern = std::string(base != nullptr && *base ? base : "/tmp") + "/javelin-test-XXXXXX";
  char* made = mkdtemp(&pattern[0]);
  path_ = FromUtf8(made != nullptr ? made : "/tmp");
}

std::u16string InstallLauncher(const std::u16string& dir, const std::u16string& name) {
  const std::u16string target = JoinPath(dir, name);
  CopyOneFile(LauncherPath(), target);
  chmod(ToUtf8(target).c_str(), 0755);
  return target;
}

int ExitCodeMinusOne() { return 255; }

ProcessResult RunProgram(const std::u16string& program, const TextList& arguments,
                         const ProcessOptions& options) {
  TempDir captures;
  const std::string outPath = ToUtf8(captures / u"stdout");
  const std::string errPath = ToUtf8(captures / u"stderr");

  std::vector<std::string> argvStorage{ToUtf8(program)};
  for (const auto& argument : arguments) argvStorage.push_back(ToUtf8(argument));
  std::vector<char*> argv;
  for (auto& a : argvStorage) argv.push_back(&a[0]);
  argv.push_back(nullptr);

  std::vector<std::string> envStorage;
  for (char** e = environ; *e != nullptr; ++e) {
    const std::string entry = *e;
    const std::u16string name = FromUtf8(entry.substr(0, entry.find('=')));
    if (options.environment.count(name) == 0) envStorage.push_back(entry);
  }
  for (const auto& [name, value] : options.environment) {
    if (value) envStorage.push_back(ToUtf8(name) + "=" + ToUtf8(*value));
  }
  std::vector<char*> envp;
  for (auto& e : envStorage) envp.push_back(&e[0]);
  envp.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);

  // The working directory is changed around the spawn (no portable
  // file action for it on older C libraries).
  std::string previous;
  if (!options.workingDirectory.empty()) {
    char buffer[4096];
    if (getcwd(buffer, sizeof buffer) != nullptr) previous = buffer;
    if (chdir(ToUtf8(options.workingDirectory).c_str()) != 0) previous.clear();
  }
  pid_t child = 0;
  const int spawned = posix_spawn(&child, argvStorage[0].c_str(), &actions, nullptr, argv.data(), envp.data());
  if (!previous.empty() && chdir(previous.c_str()) != 0) {
  }
  posix_spawn_file_actions_destroy(&actions);

  ProcessResult result;
  if (spawned != 0) return result;
  const auto deadline = std::chrono::steady_clock::now() +
                        std::chrono::milliseconds(static_cast<long>(options.timeoutSeconds * 1000));
  int status = 0;
  for (;;) {
    const pid_t done = waitpid(child, &status, WNOHANG);
    if (done == child) break;
    if (std::chrono::steady_clock::now() > deadline) {
      kill(child, SIGKILL);
      waitpid(child, &status, 0);
      result.errors = "[killed after timeout]";
      break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  if (WIFEXITED(status)) result.exitCode = WEXITSTATUS(status);
  else if (WIFSIGNALED(status)) result.exitCode = 128 + WTERMSIG(status);
  result.output = ReadFile(captures / u"stdout");
  result.errors += ReadFile(captures / u"stderr");
  return result;
}

ProcessResult RunCommandLine(const std::u16string& program, const std::u16string& commandLine,
                             const ProcessOptions& options) {
  // POSIX programs receive an argv, never a command line.
  (void)commandLine;
  return RunProgram(program, {}, options);
}

}  // namespace javelin::test
