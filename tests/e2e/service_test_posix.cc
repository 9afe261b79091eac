// The launcher as a foreground service on Linux with the real JVM: SIGTERM
// and SIGINT act as the stop control, the supervisor hears READY=1 and
// STOPPING=1 on NOTIFY_SOCKET, and the exit code tells how it ended.
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstddef>
#include <cstring>
#include <memory>
#include <thread>

#include "e2e/e2e_support.h"

namespace javelin::test {
namespace {

// A datagram socket bound where the launcher is told to send its
// notifications: an abstract name ("@...") or a path.
class NotifySocket {
 public:
  explicit NotifySocket(const std::string& name) : fd_(socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0)) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    memcpy(address.sun_path, name.data(), name.size());
    const bool abstract = name[0] == '@';
    if (abstract) address.sun_path[0] = '\0';
    bound_ = bind(fd_, reinterpret_cast<sockaddr*>(&address),
                  static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + name.size() + (abstract ? 0 : 1))) == 0;
  }
  ~NotifySocket() { close(fd_); }
  bool bound() const { return bound_; }

  // The next datagram, or "<none>" after `seconds`.
  std::string Receive(double seconds = 30) {
    pollfd entry{fd_, POLLIN, 0};
    if (poll(&entry, 1, static_cast<int>(seconds * 1000)) != 1) return "<none>";
    char buffer[512];
    const ssize_t size = recv(fd_, buffer, sizeof buffer, 0);
    return size < 0 ? "<error>" : std::string(buffer, static_cast<size_t>(size));
  }

 private:
  int fd_;
  bool bound_ = false;
};

bool WaitForText(const std::u16string& file, const std::string& text) {
  for (int i = 0; i < 1500 && ReadFile(file).find(text) == std::string::npos; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return ReadFile(file).find(text) != std::string::npos;
}

TEST(ServiceTest, StopSignalsReachTheApplicationAndTheSupervisorHearsReadyAndStopping) {
  if (JavaClassesDir().empty() || !FileExists(JvmLibraryInHome(JdkHome()))) GTEST_SKIP() << "no JDK";
  const std::vector<std::string> stopped = {"main started", "stop called", "line 1999", "main returns", "hook ran"};
  const struct {
    const char* name;
    std::string mainClass;
    TextList arguments;
    std::string socket;        // "" (no NOTIFY_SOCKET), "@abstract" or "path"
    std::vector<int> signals;  // sent once main has started
    int exitCode;
    std::vector<std::string> output;  // lines the output file holds in the end
  } cases[] = {
      {"SIGTERM calls stop()", "service.Stoppable", {u"a b", u"c"}, "@abstract", {SIGTERM}, 0, stopped},
      {"SIGINT without stop() calls System.exit(0)", "service.NoStop", {}, "path", {SIGINT}, 0,
       {"main started", "hook ran"}},
      {"a second SIGTERM while stopping", "service.Stoppable", {}, "", {SIGTERM, SIGTERM}, 0, stopped},
      {"the application's own exit code", "service.Stoppable", {u"exit", u"7"}, "path", {}, 7, {"hook ran"}},
      {"main returns by itself", "service.Stoppable", {u"return"}, "@abstract", {}, 0, {"main returns", "hook ran"}},
  };
  TempDir dir;
  int index = 0;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::u16string caseDir = dir / (u"case" + ToDecimal(++index));
    const std::u16string out = JoinPath(caseDir, u"logs/out.txt");
    const std::u16string err = JoinPath(caseDir, u"logs/err.txt");
    const std::u16string launcher =
        MakeApp(caseDir, u"svc",
                "[Java Runtime Environment]\nJRE Path=" + ToUtf8(JdkHome()) + "\nMain Class=" + c.mainClass +
                    "\n[Class Path]\nClass Path=" + ToUtf8(JavaClassesDir()) +
                    "\n[Application]\nApplication Type=service\nCmd=last\nOutput File=" + ToUtf8(out) +
                    "\nError File=" + ToUtf8(err) + "\n");

    // The supervisor's socket, and never the one of the test's own.
    std::unique_ptr<NotifySocket> socket;
    ProcessOptions options;
    options.environment[u"NOTIFY_SOCKET"] = std::nullopt;
    if (!c.socket.empty()) {
      const std::string name = c.socket == "path" ? ToUtf8(JoinPath(caseDir, u"notify"))
                                                  : "@javelin-test-" + std::to_string(getpid()) + "-" +
                                                        std::to_string(index);
      socket = std::make_unique<NotifySocket>(name);
      ASSERT_TRUE(socket->bound()) << name;
      options.environment[u"NOTIFY_SOCKET"] = FromUtf8(name);
    }
    ProcessResult result;
    std::thread run([&] { result = RunProgram(launcher, c.arguments, options); });
    // What the supervisor hears next, when there is one.
    const auto hears = [&](const char* text, double seconds = 30) {
      if (socket) {
        EXPECT_EQ(socket->Receive(seconds), text);
      }
    };
    hears("READY=1");
    if (!c.signals.empty()) {
      const bool started = WaitForText(out, "main started");
      EXPECT_TRUE(started) << ReadFile(out);
      // The JVM runs in the launcher's process, whose id main printed.
      const std::string text = ReadFile(out);
      const pid_t pid = started ? std::stoi(text.substr(text.find("pid=") + 4)) : 0;
      for (int signalNumber : c.signals) {
        if (pid > 0) kill(pid, signalNumber);
      }
      hears("STOPPING=1");
    }
    run.join();
    EXPECT_EQ(result.exitCode, c.exitCode) << result.errors;
    hears("<none>", 0.2);

    const std::string output = ReadFile(out);
    for (const std::string& line : c.output) {
      EXPECT_NE(output.find(line + "\n"), std::string::npos) << line << "\n" << output;
    }
    EXPECT_EQ(output.find("hook ran"), output.rfind("hook ran"));  // the hooks ran once
    // No service name on POSIX: the command-line arguments, then "Cmd".
    if (c.mainClass == "service.Stoppable") {
      std::string expected = "args=";
      for (const std::u16string& argument : c.arguments) expected += ToUtf8(argument) + ",";
      EXPECT_NE(output.find(expected + "last\n"), std::string::npos) << output;
    }
    // Only the service without stop() fails to find it.
    const std::string errors = ReadFile(err);
    const bool stopLookupFails = c.mainClass == "service.NoStop";
    EXPECT_EQ(errors.find("stop", errors.find("java.lang.NoSuchMethodError")) != std::string::npos, stopLookupFails)
        << errors;
  }
}

}  // namespace
}  // namespace javelin::test
