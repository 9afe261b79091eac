// The service as a foreground process under systemd and similar
// supervisors: SIGTERM and SIGINT act as the stop control, and the
// supervisor hears READY=1 and STOPPING=1 through NOTIFY_SOCKET.
#include <errno.h>
#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <system_error>
#include <thread>
#include <utility>

#include "base/trace.h"
#include "jvm/java_vm_host.h"
#include "jvm/thread_wait.h"
#include "modes/service_host.h"
#include "modes/service_notify_posix.h"

namespace javelin {

namespace {

// The write end of the stop pipe, for the signal handler. It stays open for
// the life of the process, so a late signal never writes into a reused
// descriptor.
std::atomic<int> stopPipeWrite{-1};

// Only records the signal: the stop itself runs on a thread of its own.
void OnStopSignal(int signalNumber) {
  const int savedErrno = errno;
  const char byte = static_cast<char>(signalNumber);
  const int fd = stopPipeWrite.load();
  if (fd >= 0) {
    const ssize_t ignored = write(fd, &byte, 1);
    (void)ignored;
  }
  errno = savedErrno;
}

void InstallStopHandlers() {
  struct sigaction action {};
  action.sa_handler = OnStopSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  sigaction(SIGTERM, &action, nullptr);
  sigaction(SIGINT, &action, nullptr);
}

bool OpenStopPipe(int (&fds)[2]) {
  if (pipe(fds) != 0) return false;
  for (int fd : fds) fcntl(fd, F_SETFD, FD_CLOEXEC);
  // A full pipe drops the byte instead of blocking the handler.
  fcntl(fds[1], F_SETFL, fcntl(fds[1], F_GETFL) | O_NONBLOCK);
  return true;
}

// Byte on the stop pipe that ends the watcher.
constexpr char kEndWatching = 0;

// Stop threads still running. Process-wide, so that a thread that comes
// back late never touches a host that is gone.
std::atomic<int> runningStops{0};
// How long the watcher's end waits for them. A stop thread that attached
// while DestroyJavaVM waited has ended before DestroyJavaVM returned; one
// that is still running is caught in a JVM that has ended, and the process
// must not wait for it for ever.
constexpr uint32_t kStopThreadWaitMs = 2000;

}  // namespace

struct ServiceHost::PlatformState {
  int stopPipe[2] = {-1, -1};
  std::thread watcher;
  bool stopping = false;  // the watcher's own

  // Turns every stop signal into a stop thread until told to end, then
  // waits a while for the stop threads.
  static void WatchStops(ServiceHost* host) {
    PlatformState& state = *host->state_;
    for (;;) {
      char byte = kEndWatching;
      const ssize_t count = read(state.stopPipe[0], &byte, 1);
      if (count < 0 && errno == EINTR) continue;
      if (count <= 0 || byte == kEndWatching) break;
      Trace(byte == SIGINT ? u"stop request: SIGINT" : u"stop request: SIGTERM");
      if (!state.stopping) {
        state.stopping = true;
        NotifyServiceManager("STOPPING=1");
      }
      ++runningStops;
      try {
        std::thread([host] {
          host->StopOnThisThread();
          --runningStops;
        }).detach();
      } catch (const std::system_error&) {
        // No thread, no stop: the next signal tries again.
        --runningStops;
      }
    }
    for (uint32_t waited = 0; runningStops.load() > 0 && waited < kStopThreadWaitMs; waited += 10) {
      SleepMilliseconds(10);
    }
  }
};

ServiceHost::ServiceHost(ServiceApplication application)
    : application_(std::move(application)), state_(new PlatformState) {}

ServiceHost::~ServiceHost() { SetVmExitListener(nullptr); }

int ServiceHost::RunAsService() {
  if (application_.modulePath.empty()) return -1;
  SetVmExitListener(this);

  PlatformState& state = *state_;
  const bool watching = OpenStopPipe(state.stopPipe);
  if (watching) {
    // The handlers come when main is about to run: until then a stop signal
    // ends the process as it would any program, and nothing is lost.
    stopPipeWrite = state.stopPipe[1];
    try {
      state.watcher = std::thread(&PlatformState::WatchStops, this);
    } catch (const std::system_error&) {
    }
  }

  // No start arguments: a supervisor passes everything on the command line.
  const int result = RunServiceApplication({});

  if (state.watcher.joinable()) {
    ssize_t written;
    // The watcher drains the pipe, so a full pipe frees up soon.
    while ((written = write(state.stopPipe[1], &kEndWatching, 1)) != 1 &&
           (errno == EINTR || errno == EAGAIN)) {
      std::this_thread::yield();
    }
    if (written == 1) {
      state.watcher.join();
    } else {
      state.watcher.detach();
    }
  }
  return result;
}

void ServiceHost::OnMainStarting() {
  // Replaces the handlers the JVM installed while it was created (they
  // would end the process with the signal's code).
  if (stopPipeWrite.load() >= 0) InstallStopHandlers();
  NotifyServiceManager("READY=1");
}

void ServiceHost::OnVmExit(int32_t) {}
void ServiceHost::OnVmAbort() {}

}  // namespace javelin
