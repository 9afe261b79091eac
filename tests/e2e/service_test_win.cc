// The launcher as a Windows service, driven through the Service Control
// Manager (Wine's own under Wine) with the test JVM: what the application
// receives, how a stop request reaches it and what the manager sees.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <memory>

#include "base/win_support.h"
#include "e2e/e2e_support.h"

namespace javelin::test {
namespace {

using ServiceHandle =
    std::unique_ptr<std::remove_pointer_t<SC_HANDLE>, decltype(&CloseServiceHandle)>;

SERVICE_STATUS Query(SC_HANDLE service) {
  SERVICE_STATUS status{};
  QueryServiceStatus(service, &status);
  return status;
}

TEST(ServiceTest, TheServiceRunsTheApplicationAndStopsAsTheApplicationEnds) {
  if (TestJvmPath().empty()) GTEST_SKIP() << "no test JVM in this build";
  ServiceHandle manager(OpenSCManagerW(nullptr, nullptr, SC_MANAGER_ALL_ACCESS),
                        &CloseServiceHandle);
  ASSERT_NE(manager.get(), nullptr) << GetLastError();
  // The start arguments follow the service's name, which "Omit Service
  // Name=no" leaves out; `call` is the Java-side call the log must show.
  const struct {
    const char* name;
    std::string control;           // the test JVM's instructions
    std::string applicationLines;  // more lines of [Application]
    TextList startArguments;
    // When the stop request comes: never (""), once main runs ("main"), once
    // main has returned and the JVM's destruction waits ("returned"), or
    // while the JVM is being created ("creating").
    std::string stopWhen;
    const char* call;
    DWORD exitCode;    // the stopped report's Win32 exit code
    bool mainReturns;  // "main done" on the error stream
  } cases[] = {
      {"stop() ends main", "service\n", "", {u"-x"}, "main", "call stop", 0, true},
      {"the name omitted",
       "service\n",
       "Omit Service Name=no\n",
       {u"-x", u"a b"},
       "main",
       "call stop",
       0,
       true},
      {"no stop(): System.exit(0)",
       "service\nnostop\n",
       "",
       {},
       "main",
       "call System.exit 0",
       0,
       false},
      {"main returns by itself", "", "", {u"-y"}, "", "", 0, true},
      {"the application calls System.exit(0)",
       "service\nsysexit=0\n",
       "",
       {},
       "",
       "call System.exit 0",
       0,
       false},
      {"the JVM cannot be created", "create=-1\n", "", {}, "", "", 0xFFFFFFFF, false},
      {"main returned, a thread runs on until stop()",
       "linger\n",
       "",
       {},
       "returned",
       "call stop",
       0,
       true},
      {"a stop before the JVM exists waits for main",
       "createwait\nservice\n",
       "",
       {},
       "creating",
       "call stop",
       0,
       true},
  };
  TempDir dir;
  int index = 0;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    // The launcher as a service application with the output and error
    // streams in files of the case's folder.
    const std::u16string caseDir = dir / ToDecimal(++index), out = caseDir + u"\\out.txt",
                         err = caseDir + u"\\err.txt";
    const std::u16string library = InstallTestJvm(caseDir + u"\\home");
    SetTestJvmControl(library, c.control);
    const std::u16string launcher =
        MakeApp(caseDir + u"\\app", u"svc",
                AppIni(caseDir + u"\\home", "com.example.App", ToUtf8(caseDir) + "\\classes", "",
                       "Application Type=service\nCmd=c1\nOutput File=" + ToUtf8(out) +
                           "\nError File=" + ToUtf8(err) + "\n" + c.applicationLines));
    const std::u16string name =
        u"JavelinTest" + ToDecimal(GetCurrentProcessId()) + u"_" + ToDecimal(index);
    // A service of an earlier, interrupted run may carry the same name.
    ServiceHandle leftover(OpenServiceW(manager.get(), W(name), DELETE), &CloseServiceHandle);
    if (leftover) DeleteService(leftover.get());
    ServiceHandle service(
        CreateServiceW(manager.get(), W(name), W(name), SERVICE_ALL_ACCESS,
                       SERVICE_WIN32_OWN_PROCESS, SERVICE_DEMAND_START, SERVICE_ERROR_IGNORE,
                       W(u"\"" + launcher + u"\" one \"two words\""), nullptr, nullptr, nullptr,
                       nullptr, nullptr),
        &CloseServiceHandle);
    ASSERT_NE(service.get(), nullptr) << GetLastError();
    std::vector<const wchar_t*> startArguments;
    for (const std::u16string& argument : c.startArguments) startArguments.push_back(W(argument));
    ASSERT_TRUE(StartServiceW(service.get(), static_cast<DWORD>(startArguments.size()),
                              startArguments.empty() ? nullptr : startArguments.data()))
        << GetLastError();

    if (!c.stopWhen.empty()) {
      if (c.stopWhen == "creating") {
        ASSERT_TRUE(WaitForFile(Beside(library, u"testjvm.creating")));
      } else if (c.stopWhen == "returned") {
        ASSERT_TRUE(WaitFor([&] { return ReadFile(err).find("main done") != std::string::npos; }));
        // main's thread detaches, then the launcher waits in DestroyJavaVM.
        Sleep(300);
      } else {
        ASSERT_TRUE(WaitFor([&] { return ReadFile(out).find("argc=") != std::string::npos; }));
      }
      // It takes the stop and the shutdown control.
      SERVICE_STATUS status = Query(service.get());
      EXPECT_EQ(status.dwControlsAccepted,
                static_cast<DWORD>(SERVICE_ACCEPT_STOP | SERVICE_ACCEPT_SHUTDOWN));
      ASSERT_TRUE(ControlService(service.get(), SERVICE_CONTROL_STOP, &status)) << GetLastError();
      if (c.stopWhen == "creating") {
        // The stop thread finds no JVM yet; then the creation goes on.
        Sleep(300);
        WriteFile(Beside(library, u"testjvm.release"), "");
      }
    }
    ASSERT_TRUE(
        WaitFor([&] { return Query(service.get()).dwCurrentState == SERVICE_STOPPED; }, 30));
    EXPECT_EQ(Query(service.get()).dwWin32ExitCode, c.exitCode);

    // The stopped report can come before the process is gone.
    if (c.mainReturns) {
      EXPECT_TRUE(
          WaitFor([&] { return ReadFile(err).find("main done") != std::string::npos; }, 10));
    }
    Sleep(300);
    if (c.exitCode == 0) {
      TextList expected = {u"one", u"two words"};
      if (c.applicationLines.empty()) expected.push_back(name);
      expected.insert(expected.end(), c.startArguments.begin(), c.startArguments.end());
      expected.push_back(u"c1");
      EXPECT_EQ(WithUnixLineEnds({0, ReadFile(out), ""}).output, PrintedArguments(expected));
    }
    const std::vector<std::string> log = TestJvmLog(library);
    for (const std::string call : {"call stop", "call System.exit 0"}) {
      EXPECT_EQ(std::find(log.begin(), log.end(), call) != log.end(), call == c.call) << call;
    }
    const std::string errors = ReadFile(err);
    EXPECT_EQ(errors.find("main done") != std::string::npos, c.mainReturns) << errors;
    EXPECT_EQ(
        errors.find("java.lang.NoSuchMethodError: com/example/App.stop()V") != std::string::npos,
        c.control.find("nostop") != std::string::npos)
        << errors;
    EXPECT_TRUE(DeleteService(service.get())) << GetLastError();
  }
}

}  // namespace
}  // namespace javelin::test
