// The launcher as a Windows service, driven through the Service Control
// Manager (Wine's own under Wine) with the test JVM: what the application
// receives, how a stop request reaches it and what the manager sees.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <thread>

#include "e2e/e2e_support.h"

namespace javelin::test {
namespace {

class ServiceHandle {
 public:
  explicit ServiceHandle(SC_HANDLE handle = nullptr) : handle_(handle) {}
  ~ServiceHandle() {
    if (handle_ != nullptr) CloseServiceHandle(handle_);
  }
  ServiceHandle(const ServiceHandle&) = delete;
  ServiceHandle& operator=(const ServiceHandle&) = delete;
  SC_HANDLE get() const { return handle_; }

 private:
  SC_HANDLE handle_;
};

// Polls `done` every 50 ms for up to `seconds`.
template <typename Condition>
bool WaitFor(Condition done, double seconds = 30) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
  while (!done()) {
    if (std::chrono::steady_clock::now() > end) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return true;
}

bool Contains(const std::vector<std::string>& lines, const std::string& line) {
  return std::find(lines.begin(), lines.end(), line) != lines.end();
}

const char16_t kHelloArgument[] = u"two words";

struct ServiceCase {
  const char* name;
  std::string control;          // the test JVM's instructions
  std::string applicationLines; // more lines of [Application]
  TextList startArguments;      // after the service's name
  bool stopRequest;
  bool nameExpected;            // the service's name reaches main
  std::vector<std::string> calls;  // the Java-side calls the log must show
  DWORD exitCode;               // the stopped report's Win32 exit code
  bool mainReturns;             // "main done" on the error stream
};

class ServiceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (TestJvmPath().empty()) GTEST_SKIP() << "no test JVM in this build";
    manager_ = OpenSCManagerW(nullptr, nullptr, SC_MANAGER_ALL_ACCESS);
    ASSERT_NE(manager_, nullptr) << GetLastError();
  }
  void TearDown() override {
    if (manager_ != nullptr) CloseServiceHandle(manager_);
  }

  // The launcher as service `name` with the command-line arguments "one"
  // and "two words"; the output and error streams go to files.
  std::u16string Install(const std::string& control, const std::string& applicationLines) {
    caseDir_ = dir_ / (u"case" + ToDecimal(++cases_));
    library_ = InstallTestJvm(caseDir_ + u"\\home");
    SetTestJvmControl(library_, control);
    return MakeApp(caseDir_ + u"\\app", u"svc",
                   "[Java Runtime Environment]\nJRE Path=" + ToUtf8(caseDir_) +
                       "\\home\nMain Class=com.example.App\n[Class Path]\nClass Path=" + ToUtf8(caseDir_) +
                       "\\classes\n[Application]\nApplication Type=service\nCmd=c1\nOutput File=" + ToUtf8(Out()) +
                       "\nError File=" + ToUtf8(Err()) + "\n" + applicationLines);
  }
  std::u16string Out() const { return caseDir_ + u"\\out.txt"; }
  std::u16string Err() const { return caseDir_ + u"\\err.txt"; }

  SC_HANDLE manager_ = nullptr;
  TempDir dir_;
  int cases_ = 0;
  std::u16string caseDir_;
  std::u16string library_;
};

SERVICE_STATUS Query(SC_HANDLE service) {
  SERVICE_STATUS status{};
  QueryServiceStatus(service, &status);
  return status;
}

TEST_F(ServiceTest, TheServiceRunsTheApplicationAndStopsAsTheApplicationEnds) {
  const ServiceCase cases[] = {
      {"stop() ends main", "service\n", "", {u"-x"}, true, true, {"call stop"}, 0, true},
      {"the name omitted", "service\n", "Omit Service Name=no\n", {u"-x", u"a b"}, true, false, {"call stop"}, 0, true},
      {"no stop(): System.exit(0)", "service\nnostop\n", "", {}, true, true, {"call System.exit 0"}, 0, false},
      {"main returns by itself", "", "", {u"-y"}, false, true, {}, 0, true},
      {"the application calls System.exit(0)", "service\nsysexit=0\n", "", {}, false, true, {"call System.exit 0"}, 0,
       false},
      {"the JVM cannot be created", "create=-1\n", "", {}, false, true, {}, 0xFFFFFFFF, false},
  };
  int index = 0;
  for (const ServiceCase& c : cases) {
    SCOPED_TRACE(c.name);
    const std::u16string launcher = Install(c.control, c.applicationLines);
    const std::u16string name = u"JavelinTest" + ToDecimal(GetCurrentProcessId()) + u"_" + ToDecimal(index++);
    const std::u16string binPath = u"\"" + launcher + u"\" one \"" + kHelloArgument + u"\"";
    // A service of an earlier, interrupted run may carry the same name.
    ServiceHandle leftover(OpenServiceW(manager_, reinterpret_cast<const wchar_t*>(name.c_str()), DELETE));
    if (leftover.get() != nullptr) DeleteService(leftover.get());
    ServiceHandle service(CreateServiceW(manager_, reinterpret_cast<const wchar_t*>(name.c_str()),
                                         reinterpret_cast<const wchar_t*>(name.c_str()), SERVICE_ALL_ACCESS,
                                         SERVICE_WIN32_OWN_PROCESS, SERVICE_DEMAND_START, SERVICE_ERROR_IGNORE,
                                         reinterpret_cast<const wchar_t*>(binPath.c_str()), nullptr, nullptr,
                                         nullptr, nullptr, nullptr));
    ASSERT_NE(service.get(), nullptr) << GetLastError();

    std::vector<const wchar_t*> startArguments;
    for (const std::u16string& argument : c.startArguments) {
      startArguments.push_back(reinterpret_cast<const wchar_t*>(argument.c_str()));
    }
    ASSERT_TRUE(StartServiceW(service.get(), static_cast<DWORD>(startArguments.size()),
                              startArguments.empty() ? nullptr : startArguments.data()))
        << GetLastError();

    if (c.stopRequest) {
      ASSERT_TRUE(WaitFor([&] { return ReadFile(Out()).find("argc=") != std::string::npos; }));
      SERVICE_STATUS status = Query(service.get());
      EXPECT_EQ(status.dwCurrentState, static_cast<DWORD>(SERVICE_RUNNING));
      EXPECT_EQ(status.dwServiceType, static_cast<DWORD>(SERVICE_WIN32_OWN_PROCESS));
      EXPECT_EQ(status.dwControlsAccepted, static_cast<DWORD>(SERVICE_ACCEPT_STOP | SERVICE_ACCEPT_SHUTDOWN));
      // An interrogation reports the same record again.
      ASSERT_TRUE(ControlService(service.get(), SERVICE_CONTROL_INTERROGATE, &status)) << GetLastError();
      EXPECT_EQ(status.dwCurrentState, static_cast<DWORD>(SERVICE_RUNNING));
      EXPECT_EQ(status.dwWaitHint, 0u);
      ASSERT_TRUE(ControlService(service.get(), SERVICE_CONTROL_STOP, &status)) << GetLastError();
    }
    ASSERT_TRUE(WaitFor([&] { return Query(service.get()).dwCurrentState == SERVICE_STOPPED; }))
        << Query(service.get()).dwCurrentState;
    const SERVICE_STATUS stopped = Query(service.get());
    EXPECT_EQ(stopped.dwWin32ExitCode, c.exitCode);
    EXPECT_EQ(stopped.dwServiceSpecificExitCode, 0u);
    if (c.stopRequest) {
      EXPECT_EQ(stopped.dwWaitHint, 3000u);
    }

    // The stopped report can come before the process is gone.
    if (c.mainReturns) {
      EXPECT_TRUE(WaitFor([&] { return ReadFile(Err()).find("main done") != std::string::npos; }, 10));
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    if (c.control.find("create=") == std::string::npos) {
      TextList expected = {u"one", kHelloArgument};
      if (c.nameExpected) expected.push_back(name);
      expected.insert(expected.end(), c.startArguments.begin(), c.startArguments.end());
      expected.push_back(u"c1");
      EXPECT_EQ(WithUnixLineEnds({0, ReadFile(Out()), ""}).output, PrintedArguments(expected));
    }
    const std::vector<std::string> log = TestJvmLog(library_);
    for (const char* call : {"call stop", "call System.exit 0"}) {
      const bool expected = std::find(c.calls.begin(), c.calls.end(), call) != c.calls.end();
      EXPECT_EQ(Contains(log, call), expected) << call;
    }
    const std::string errors = ReadFile(Err());
    EXPECT_EQ(errors.find("main done") != std::string::npos, c.mainReturns) << errors;
    const bool lookupFails = c.control.find("nostop") != std::string::npos;
    EXPECT_EQ(errors.find("java.lang.NoSuchMethodError: com/example/App.stop()V") != std::string::npos, lookupFails)
        << errors;
    EXPECT_TRUE(DeleteService(service.get())) << GetLastError();
  }
}

// Without the Service Control Manager the dispatcher fails with
// ERROR_FAILED_SERVICE_CONTROLLER_CONNECT, which becomes the exit code, and
// nothing is written. Wine takes about 11 s to give up.
TEST_F(ServiceTest, StartedFromAConsoleTheLauncherEndsWith1063AndWritesNothing) {
  const std::u16string launcher = Install("", "");
  ProcessOptions options;
  options.timeoutSeconds = 60;
  const ProcessResult result = RunProgram(launcher, {u"one"}, options);
  EXPECT_EQ(result.exitCode, 1063);
  EXPECT_EQ(result.output, "");
  EXPECT_FALSE(FileExists(Out()));
  EXPECT_TRUE(TestJvmLog(library_).empty());
}

}  // namespace
}  // namespace javelin::test
