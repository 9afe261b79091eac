// The service under the Windows Service Control Manager.
#include <windows.h>

#include <utility>

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

  static void WINAPI ServiceMainEntry(DWORD count, LPWSTR* values);
  static void WINAPI ServiceControlHandler(DWORD control);
  static DWORD WINAPI StopThread(LPVOID host);

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
  SERVICE_TABLE_ENTRYW table[] = {{emptyName, &PlatformState::ServiceMainEntry}, {nullptr, nullptr}};
  // Returns when the service has stopped.
  if (StartServiceCtrlDispatcherW(table)) return 0;
  return static_cast<int>(GetLastError());
}

void ServiceHost::OnMainStarting() {}

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
  state.status.dwWin32ExitCode = 0;
  state.status.dwCurrentState = SERVICE_STOP_PENDING;
  state.status.dwCheckPoint = 0;
  state.status.dwWaitHint = kStopWaitHint;
  if (!state.Report()) return;
  // The handler never waits for the application.
  HANDLE thread = CreateThread(nullptr, 0, &StopThread, host, 0, nullptr);
  if (thread != nullptr) CloseHandle(thread);
}

DWORD WINAPI ServiceHost::PlatformState::StopThread(LPVOID host) {
  static_cast<ServiceHost*>(host)->StopOnThisThread();
  return 0;
}

}  // namespace javelin
