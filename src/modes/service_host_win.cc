// The service under the Windows Service Control Manager.
#include <windows.h>

#include <atomic>
#include <utility>

#include "base/trace.h"
#include "jvm/java_vm_host.h"
#include "modes/service_host.h"

namespace javelin {

namespace {

// The running report's accepted controls: stop and shutdown.
constexpr DWORD kAcceptedControls = SERVICE_ACCEPT_STOP | SERVICE_ACCEPT_SHUTDOWN;
// How long the stop-pending report tells the manager to wait.
constexpr DWORD kStopWaitHint = 3000;

// Windows calls the service entry and the control handler without any
// context; they reach the host through this pointer, set before the
// dispatcher starts.
ServiceHost* processServiceHost = nullptr;

}  // namespace

struct ServiceHost::PlatformState {
  SERVICE_STATUS status{};
  SERVICE_STATUS_HANDLE handle = nullptr;
  // A stop request found no JVM and waits for main; main is about to run.
  // A stop thread sets the first and then reads the second, main's thread
  // does the opposite, so at least one of them sees both and serves the
  // request (once: whoever clears stopWaiting).
  std::atomic<bool> stopWaiting{false};
  std::atomic<bool> mainStarting{false};

  static void WINAPI ServiceMainEntry(DWORD count, LPWSTR* values);
  static void WINAPI ServiceControlHandler(DWORD control);
  static DWORD WINAPI StopThread(LPVOID host);
  static void StartStopThread(ServiceHost* host);

  bool Report() { return SetServiceStatus(handle, &status) != FALSE; }
};

ServiceHost::ServiceHost(ServiceApplication application)
    : application_(std::move(application)), state_(new PlatformState) {}

ServiceHost::~ServiceHost() {
  if (processServiceHost == this) processServiceHost = nullptr;
  SetVmExitListener(nullptr);
}

int ServiceHost::RunAsService() {
  if (application_.modulePath.empty()) return -1;
  SetVmExitListener(this);
  processServiceHost = this;
  // Windows ignores the name of a service that runs alone in its process.
  wchar_t emptyName[] = L"";
  SERVICE_TABLE_ENTRYW table[] = {{emptyName, &PlatformState::ServiceMainEntry},
                                  {nullptr, nullptr}};
  // Returns when the service has stopped.
  if (StartServiceCtrlDispatcherW(table)) return 0;
  return static_cast<int>(GetLastError());
}

void ServiceHost::OnMainStarting() {
  PlatformState& state = *state_;
  state.mainStarting = true;
  if (state.stopWaiting.exchange(false)) {
    Trace(u"stop request: the JVM can take the waiting request now");
    PlatformState::StartStopThread(this);
  }
}

void ServiceHost::OnVmExit(int32_t code) {
  if (code != 0 || state_->handle == nullptr) return;
  state_->status.dwCurrentState = SERVICE_STOPPED;
  state_->Report();
}

void ServiceHost::OnVmAbort() {}

// On the thread Windows creates for the service: running, the whole run,
// stopped. No start-pending report comes first.
void WINAPI ServiceHost::PlatformState::ServiceMainEntry(DWORD count, LPWSTR* values) {
  ServiceHost* host = processServiceHost;
  if (host == nullptr) return;
  PlatformState& state = *host->state_;
  wchar_t emptyName[] = L"";
  state.handle = RegisterServiceCtrlHandlerW(emptyName, &ServiceControlHandler);
  if (state.handle == nullptr) return;

  state.status.dwServiceType = SERVICE_WIN32_OWN_PROCESS;
  state.status.dwCurrentState = SERVICE_RUNNING;
  state.status.dwControlsAccepted = kAcceptedControls;
  state.status.dwWin32ExitCode = 0;
  state.status.dwServiceSpecificExitCode = 0;
  state.status.dwCheckPoint = 0;
  state.status.dwWaitHint = 0;
  if (!state.Report()) return;

  TextList startArguments;
  for (DWORD i = 0; values != nullptr && i < count; ++i) {
    startArguments.push_back(reinterpret_cast<const char16_t*>(values[i]));
  }
  state.status.dwWin32ExitCode = static_cast<DWORD>(host->RunServiceApplication(startArguments));
  state.status.dwCurrentState = SERVICE_STOPPED;
  state.Report();
}

// On the dispatcher's thread: a stop or shutdown becomes a stop-pending
// report and a new stop thread each time; anything else reports again.
void WINAPI ServiceHost::PlatformState::ServiceControlHandler(DWORD control) {
  ServiceHost* host = processServiceHost;
  if (host == nullptr) return;
  PlatformState& state = *host->state_;
  if (control != SERVICE_CONTROL_STOP && control != SERVICE_CONTROL_SHUTDOWN) {
    state.Report();
    return;
  }
  Trace(control == SERVICE_CONTROL_STOP ? u"stop request: service stop"
                                        : u"stop request: system shutdown");
  state.status.dwWin32ExitCode = 0;
  state.status.dwCurrentState = SERVICE_STOP_PENDING;
  state.status.dwCheckPoint = 0;
  state.status.dwWaitHint = kStopWaitHint;
  if (!state.Report()) return;
  // The handler never waits for the application.
  StartStopThread(host);
}

void ServiceHost::PlatformState::StartStopThread(ServiceHost* host) {
  HANDLE thread = CreateThread(nullptr, 0, &StopThread, host, 0, nullptr);
  if (thread != nullptr) CloseHandle(thread);
}

// A request that finds no JVM before main has started is kept for main:
// the service manager has been told the service is stopping, and nothing
// else would ever end it.
DWORD WINAPI ServiceHost::PlatformState::StopThread(LPVOID data) {
  ServiceHost* host = static_cast<ServiceHost*>(data);
  if (host->StopOnThisThread() != StopOutcome::kNoJvm) return 0;
  PlatformState& state = *host->state_;
  if (state.mainStarting) return 0;
  state.stopWaiting = true;
  if (!state.mainStarting) {
    Trace(u"stop request: kept until main is about to run");
    return 0;
  }
  // Main started meanwhile and may have missed the request: serve it here.
  if (state.stopWaiting.exchange(false)) host->StopOnThisThread();
  return 0;
}

}  // namespace javelin
