// The launcher as a foreground service on Linux with the real JVM: SIGTERM
// and SIGINT act as the stop control, the supervisor hears READY=1 and
// STOPPING=1 on NOTIFY_SOCKET, and the exit code tells how it ended.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstddef>
#include <cstring>
#include <thread>

#include "e2e/e2e_support.h"

extern char** environ;

namespace javelin::test {
namespace {

// A datagram socket bound where the launcher is told to send its
// notifications: an abstract name ("@...") or a path.
class NotifySocket {
 public:
  explicit NotifySocket(const std::string& name) : name_(name) {
    fd_ = socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    memcpy(address.sun_path, name.data(), name.size());
    if (name[0] == '@') address.sun_path[0] = '\0';
    const socklen_t length =
        static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + name.size() + (name[0] == '@' ? 0 : 1));
    bound_ = bind(fd_, reinterpret_cast<sockaddr*>(&address), length) == 0;
  }
  ~NotifySocket() { close(fd_); }
  bool bound() const { return bound_; }
  const std::string& name() const { return name_; }

  // The next datagram, or "<none>" after `seconds`.
  std::string Receive(double seconds = 30) {
    pollfd entry{fd_, POLLIN, 0};
    if (poll(&entry, 1, static_cast<int>(seconds * 1000)) != 1) return "<none>";
    char buffer[512];
    const ssize_t size = recv(fd_, buffer, sizeof buffer, 0);
    return size < 0 ? "<error>" : std::string(buffer, static_cast<size_t>(size));
  }

 private:
  std::string name_;
  int fd_ = -1;
  bool bound_ = false;
};

// The launcher started in the background with `extraEnvironment`.
pid_t Start(const std::u16string& launcher, const std::vector<std::string>& arguments,
            const std::vector<std::string>& extraEnvironment, const std::u16string& nativeErrors) {
  const std::string program = ToUtf8(launcher);
  std::vector<char*> argv = {const_cast<char*>(program.c_str())};
  for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);
  std::vector<char*> envp;
  for (char** variable = environ; *variable != nullptr; ++variable) {
    if (strncmp(*variable, "NOTIFY_SOCKET=", 14) != 0) envp.push_back(*variable);
  }
  for (const std::string& variable : extraEnvironment) envp.push_back(const_cast<char*>(variable.c_str()));
  envp.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  const std::string errorPath = ToUtf8(nativeErrors);
  posix_spawn_file_actions_addopen(&actions, 2, errorPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  pid_t pid = -1;
  if (posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), envp.data()) != 0) pid = -1;
  posix_spawn_file_actions_destroy(&actions);
  return pid;
}

// The exit code, 128 + signal, or -1 when the process was still running
// after `seconds` (it is then killed).
int WaitForExit(pid_t pid, double seconds = 60) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
  int status = 0;
  while (waitpid(pid, &status, WNOHANG) == 0) {
    if (std::chrono::steady_clock::now() > end) {
      kill(pid, SIGKILL);
      waitpid(pid, &status, 0);
      return -1;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

bool WaitForText(const std::u16string& file, const std::string& text, double seconds = 30) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
  while (ReadFile(file).find(text) == std::string::npos) {
    if (std::chrono::steady_clock::now() > end) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return true;
}

size_t Occurrences(const std::string& text, const std::string& part) {
  size_t count = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
  return count;
}

struct ServiceCase {
  const char* name;
  std::string mainClass;
  std::vector<std::string> arguments;
  std::string socket;         // "" (no NOTIFY_SOCKET), "@abstract" or "path"
  std::vector<int> signals;   // sent once main has started
  int exitCode;
  std::vector<std::string> output;  // lines the output file holds in the end
  bool stopLookupFails;       // the NoSuchMethodError of stop() on the error stream
};

class ServiceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (JavaClassesDir().empty() || !FileExists(JvmLibraryInHome(JdkHome()))) GTEST_SKIP() << "no JDK";
  }
  TempDir dir_;
};

TEST_F(ServiceTest, StopSignalsReachTheApplicationAndTheSupervisorHearsReadyAndStopping) {
  const std::vector<std::string> stopped = {"main started", "stop called", "line 1999", "main returns", "hook ran"};
  const ServiceCase cases[] = {
      {"SIGTERM calls stop()", "service.Stoppable", {"a b", "c"}, "@abstract", {SIGTERM}, 0, stopped, false},
      {"SIGINT without stop() calls System.exit(0)", "service.NoStop", {}, "path", {SIGINT}, 0,
       {"main started", "hook ran"}, true},
      {"a second SIGTERM while stopping", "service.Stoppable", {}, "", {SIGTERM, SIGTERM}, 0, stopped, false},
      {"the application's own exit code", "service.Stoppable", {"exit", "7"}, "path", {}, 7, {"hook ran"}, false},
      {"main returns by itself", "service.Stoppable", {"return"}, "@abstract", {}, 0, {"main returns", "hook ran"},
       false},
  };
  int index = 0;
  for (const ServiceCase& c : cases) {
    SCOPED_TRACE(c.name);
    const std::u16string caseDir = dir_ / (u"case" + ToDecimal(++index));
    const std::u16string out = JoinPath(caseDir, u"logs/out.txt");
    const std::u16string err = JoinPath(caseDir, u"logs/err.txt");
    const std::u16string launcher =
        MakeApp(caseDir, u"svc",
                "[Java Runtime Environment]\nJRE Path=" + ToUtf8(JdkHome()) + "\nMain Class=" + c.mainClass +
                    "\n[Class Path]\nClass Path=" + ToUtf8(JavaClassesDir()) +
                    "\n[Application]\nApplication Type=service\nCmd=last\nOutput File=" + ToUtf8(out) +
                    "\nError File=" + ToUtf8(err) + "\n");

    std::unique_ptr<NotifySocket> socket;
    std::vector<std::string> environment;
    if (!c.socket.empty()) {
      const std::string name = c.socket == "path" ? ToUtf8(JoinPath(caseDir, u"notify"))
                                                  : "@javelin-test-" + std::to_string(getpid()) + "-" +
                                                        std::to_string(index);
      socket.reset(new NotifySocket(name));
      ASSERT_TRUE(socket->bound()) << name;
      environment.push_back("NOTIFY_SOCKET=" + name);
    }

    const pid_t pid = Start(launcher, c.arguments, environment, JoinPath(caseDir, u"stderr.txt"));
    ASSERT_GT(pid, 0);
    if (socket) {
      EXPECT_EQ(socket->Receive(), "READY=1");
    }
    if (!c.signals.empty()) {
      ASSERT_TRUE(WaitForText(out, "main started")) << ReadFile(out);
      for (int signalNumber : c.signals) kill(pid, signalNumber);
      if (socket) {
        EXPECT_EQ(socket->Receive(), "STOPPING=1");
      }
    }
    EXPECT_EQ(WaitForExit(pid), c.exitCode);
    if (socket) {
      EXPECT_EQ(socket->Receive(0.2), "<none>");
    }

    const std::string output = ReadFile(out);
    for (const std::string& line : c.output) {
      EXPECT_NE(output.find(line + "\n"), std::string::npos) << line << "\n" << output;
    }
    // No service name on POSIX: the command-line arguments, then "Cmd".
    if (c.mainClass == "service.Stoppable") {
      std::string expected = "args=";
      for (const std::string& argument : c.arguments) expected += argument + ",";
      EXPECT_NE(output.find(expected + "last\n"), std::string::npos) << output;
    }
    EXPECT_EQ(Occurrences(output, "hook ran"), 1u);
    const std::string errors = ReadFile(err);
    EXPECT_EQ(errors.find("java.lang.NoSuchMethodError") != std::string::npos, c.stopLookupFails) << errors;
    if (c.stopLookupFails) {
      EXPECT_NE(errors.find("stop"), std::string::npos) << errors;
    }
  }
}

}  // namespace
}  // namespace javelin::test
