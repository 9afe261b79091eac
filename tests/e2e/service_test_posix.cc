// The launcher as a foreground service on Linux with the real JVM: SIGTERM
// and SIGINT act as the stop control, the supervisor hears READY=1 and
// STOPPING=1 on NOTIFY_SOCKET, and the exit code tells how it ended.
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstddef>
#include <chrono>
#include <cstring>
#include <future>
#include <regex>
#include <thread>

#include "e2e/e2e_support.h"

namespace javelin::test {
namespace {

TEST(ServiceTest, StopSignalsReachTheApplicationAndTheSupervisorHearsReadyAndStopping) {
  if (!HaveJdk()) GTEST_SKIP() << "no JDK";
  const struct {
    const char* name;
    std::string mainClass, action;
    std::string socket;        // "" (no NOTIFY_SOCKET), "@abstract" or "path"
    std::vector<int> signals;  // sent once main waits
    int exitCode;
  } cases[] = {
      {"SIGTERM calls stop()", "Probe$VoidApp", "wait", "@abstract", {SIGTERM}, 0},
      {"SIGINT without stop() calls System.exit(0)", "Probe", "wait", "path", {SIGINT}, 0},
      {"a second SIGTERM while stopping", "Probe$VoidApp", "wait", "", {SIGTERM, SIGTERM}, 0},
      {"the application's own exit code", "Probe$VoidApp", "exit:7", "path", {}, 7},
      {"main returns by itself", "Probe$VoidApp", "", "@abstract", {}, 0},
  };
  TempDir dir;
  int index = 0;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::u16string caseDir = dir / ToDecimal(++index), out = caseDir + u"/out.txt",
                         err = caseDir + u"/err.txt";
    const TextList arguments = {u"a b", u"c"};
    const std::u16string launcher =
        MakeApp(caseDir, u"svc",
                AppIni(JdkHome(), "launch." + c.mainClass, ToUtf8(JavaClassesDir()),
                       "Virtual Machine Parameters=-Dprobe.dir=" + ToUtf8(caseDir) +
                           " -Dprobe.action=" + c.action + "\n",
                       "Application Type=service\nCmd=last\nOutput File=" + ToUtf8(out) +
                           "\nError File=" + ToUtf8(err) + "\n"));

    // The supervisor's socket (an abstract name or a path), and never the
    // one of the test's own.
    ProcessOptions options;
    options.environment[u"NOTIFY_SOCKET"] = std::nullopt;
    options.environment[u"JAVELIN_TRACE"] = caseDir + u"/trace.txt";
    const int socketFd = socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (!c.socket.empty()) {
      const std::string name = c.socket == "path" ? ToUtf8(caseDir + u"/notify")
                                                  : "@javelin-test-" + std::to_string(getpid()) +
                                                        "-" + std::to_string(index);
      sockaddr_un address{};
      address.sun_family = AF_UNIX;
      memcpy(address.sun_path, name.data(), name.size());
      if (name[0] == '@') address.sun_path[0] = '\0';
      MakeDirectories(caseDir);
      ASSERT_EQ(bind(socketFd, reinterpret_cast<sockaddr*>(&address),
                     static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + name.size() +
                                            (name[0] != '@'))),
                0);
      options.environment[u"NOTIFY_SOCKET"] = FromUtf8(name);
    }
    // What the supervisor hears next, when there is one.
    const auto hears = [&](const char* text, int milliseconds = 30000) {
      if (c.socket.empty()) return;
      pollfd entry{socketFd, POLLIN, 0};
      char buffer[512];
      const ssize_t size =
          poll(&entry, 1, milliseconds) == 1 ? recv(socketFd, buffer, sizeof buffer, 0) : 0;
      EXPECT_EQ(size > 0 ? std::string(buffer, static_cast<size_t>(size)) : "<none>", text);
    };

    const auto run = StartInBackground(launcher, arguments, options);
    hears("READY=1");
    if (!c.signals.empty()) {
      // The JVM runs in the launcher's process, whose id main wrote.
      ASSERT_TRUE(WaitForFile(caseDir + u"/testjvm.ready"));
      for (int signalNumber : c.signals)
        kill(std::stoi(ReadFile(caseDir + u"/testjvm.ready")), signalNumber);
      hears("STOPPING=1");
    }
    EXPECT_EQ(run.get().exitCode, c.exitCode) << run.get().errors;
    hears("<none>", 200);
    close(socketFd);

    // No service name on POSIX: the command-line arguments, then "Cmd".
    const std::string output = ReadFile(out);
    EXPECT_EQ(output.rfind(PrintedArguments({u"a b", u"c", u"last"}), 0), 0u) << output;
    // stop() was called where there is one, and nothing written after it
    // is lost; the hooks ran once.
    const bool stopped = c.mainClass == "Probe$VoidApp" && !c.signals.empty();
    EXPECT_EQ(output.find("\nstop called\n") != std::string::npos, stopped) << output;
    EXPECT_EQ(output.find("\nline 1999\n") != std::string::npos, stopped) << output;
    EXPECT_NE(output.find("\nhook ran\n"), std::string::npos) << output;
    EXPECT_EQ(output.find("hook ran"), output.rfind("hook ran"));
    // An end through System.exit is traced before the process is gone.
    EXPECT_EQ(ReadFile(caseDir + u"/trace.txt").find("javelin: exit code 7 (System.exit)\n") !=
                  std::string::npos,
              c.exitCode == 7);
    // Only the service without stop() fails to find it.
    const std::string errors = ReadFile(err);
    EXPECT_EQ(errors.find("stop", errors.find("java.lang.NoSuchMethodError")) != std::string::npos,
              c.mainClass == "Probe")
        << errors;
  }
}

// A server's main starts its worker and returns; the launcher then waits in
// DestroyJavaVM for the worker, and a stop signal must still reach the
// application: stop() ends the worker, or System.exit(0) the process, and
// the shutdown hooks run either way. The trace tells the request and what
// it called. The JVM's own report of the failed stop() lookup lands whole
// in the error file.
class LingeringServiceTest : public ::testing::TestWithParam<const char*> {};

TEST_P(LingeringServiceTest, AStopReachesAnApplicationWhoseMainHasReturned) {
  const std::u16string home = FromUtf8(GetParam());
  if (JavaClassesDir().empty() || !FileExists(JvmLibraryInHome(home)))
    GTEST_SKIP() << "no JDK in " << GetParam();
  const struct {
    std::string mainClass;
    std::string worker;  // what stop() and the worker print
    std::vector<std::string> traced;
  } cases[] = {
      {"launch.LingeringServer",
       "stop called\nworker ended\n",
       {"stop request: SIGTERM", "stop request: calling stop()", "exit code 0"}},
      {"launch.LingeringServer$NoStop",
       "",
       {"stop request: SIGTERM", "stop request: no stop(), calling System.exit(0)",
        "exit code 0 (System.exit)"}},
  };
  TempDir dir;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.mainClass);
    const std::u16string caseDir = dir / FromUtf8(c.mainClass), trace = caseDir + u"/trace.txt",
                         err = caseDir + u"/err.txt";
    const std::u16string launcher =
        MakeApp(caseDir, u"svc",
                AppIni(home, c.mainClass, ToUtf8(JavaClassesDir()),
                       "Virtual Machine Parameters=-Dprobe.dir=" + ToUtf8(caseDir) + "\n",
                       "Application Type=service\nError File=" + ToUtf8(err) + "\n"));
    ProcessOptions options;
    options.environment[u"NOTIFY_SOCKET"] = std::nullopt;
    options.environment[u"JAVELIN_TRACE"] = trace;
    options.timeoutSeconds = 20;
    const auto run = StartInBackground(launcher, {}, options);
    // Written once main's thread has ended; a moment later the launcher
    // waits in DestroyJavaVM.
    ASSERT_TRUE(WaitForFile(caseDir + u"/testjvm.ready"));
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    const auto signalled = std::chrono::steady_clock::now();
    kill(std::stoi(ReadFile(caseDir + u"/testjvm.ready")), SIGTERM);
    EXPECT_EQ(run.wait_for(std::chrono::seconds(1)), std::future_status::ready)
        << "no end within a second";
    const ProcessResult& result = run.get();
    EXPECT_LT(std::chrono::steady_clock::now() - signalled, std::chrono::seconds(1));
    EXPECT_EQ(result.exitCode, 0) << result.errors;
    EXPECT_EQ(result.output, "main returned\n" + c.worker + "hook ran\n") << result.errors;
    EXPECT_EQ(result.errors, "");
    const std::string errors = ReadFile(err);
    EXPECT_EQ(std::regex_search(
                  errors,
                  std::regex("(^|\n)Exception in thread \"[^\"\n]*\" java.lang.NoSuchMethodError")),
              c.worker.empty())
        << errors;
    const std::string traced = ReadFile(trace);
    for (const std::string& line : c.traced) {
      EXPECT_NE(traced.find("javelin: " + line + "\n"), std::string::npos) << line << "\n"
                                                                           << traced;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Jdks, LingeringServiceTest,
                         ::testing::Values("/usr/lib/jvm/java-17-openjdk-amd64",
                                           "/usr/lib/jvm/temurin-25-jdk-amd64"),
                         [](const auto& info) { return info.index == 0 ? "Java17" : "Java25"; });

}  // namespace
}  // namespace javelin::test
