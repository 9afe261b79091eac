// Single-instance mode on Windows: a named page-file mapping that the first
// instance creates, a named manual-reset event set when main starts, and a
// registered thread message. The mapping holds the listener thread id at
// offset 0, the first instance's process id at 4, the message id at 8 and
// the argument block from 12 on.
#include <windows.h>

#include <atomic>
#include <cstring>

#include <vector>

#include "base/current_user_win.h"
#include "base/win_support.h"
#include "base/trace.h"
#include "modes/argument_block.h"
#include "modes/single_instance.h"
#include "modes/single_instance_win.h"

namespace javelin {

namespace {

constexpr DWORD kRegionSize = 2092;
constexpr size_t kListenerThreadOffset = 0;
constexpr size_t kProcessIdOffset = 4;
constexpr size_t kMessageIdOffset = 8;
constexpr size_t kBlockOffset = 12;
constexpr size_t kBlockReadEnd = 2090;

// How long a second instance waits for its turn at the argument block and
// for the first instance to take the block: only a first instance that hangs
// makes these run out. The listener's start bounds both the first
// instance's wait for its listener and a second instance's attempts to post
// to a listener that is still starting.
constexpr DWORD kBlockLockTimeoutMs = 30000;
constexpr DWORD kBlockTakenTimeoutMs = 5000;
constexpr DWORD kListenerStartTimeoutMs = 5000;
constexpr DWORD kPostRetryPauseMs = 10;

uint32_t ReadField(const unsigned char* view, size_t offset) {
  uint32_t value;
  std::memcpy(&value, view + offset, sizeof value);
  return value;
}

void WriteField(unsigned char* view, size_t offset, uint32_t value) {
  std::memcpy(view + offset, &value, sizeof value);
}

// What the listener and its workers share; it lives as long as the last
// worker that still waits for main.
struct Shared {
  ScopedKernelHandle mainStarted;  // null when the event could not be created
  UINT messageId = 0;
  SecondaryMainTarget target;
  std::atomic<JavaVM*> vm{nullptr};
};

// Posts the request to the first instance's listener. The first instance
// writes the listener's id when it starts the thread, and the thread takes
// messages only once it has its queue: a second start that comes in between
// (several files opened at once start several processes together) tries
// again until the listener has had time to start.
bool PostRequest(const unsigned char* view) {
  const ULONGLONG deadline = GetTickCount64() + kListenerStartTimeoutMs;
  for (;;) {
    const DWORD listener = ReadField(view, kListenerThreadOffset);
    const UINT messageId = ReadField(view, kMessageIdOffset);
    if (listener != 0 && messageId != 0 &&
        PostThreadMessageW(listener, messageId, GetCurrentThreadId(), 0)) {
      return true;
    }
    if (GetTickCount64() >= deadline) return false;
    Sleep(kPostRetryPauseMs);
  }
}

}  // namespace

std::u16string InstanceBaseName(const std::u16string& modulePath) {
  std::u16string path = modulePath;
  const DWORD size = GetLongPathNameW(W(modulePath), nullptr, 0);
  if (size != 0) {
    std::vector<wchar_t> longPath(size);
    const DWORD length = GetLongPathNameW(W(modulePath), longPath.data(), size);
    if (length != 0 && length < size) path.assign(longPath.begin(), longPath.begin() + length);
  }
  // The file system's own rule: names that differ in case only are one.
  if (!path.empty()) {
    std::vector<wchar_t> upper(path.size());
    const int length =
        LCMapStringW(LOCALE_INVARIANT, LCMAP_UPPERCASE, W(path), static_cast<int>(path.size()),
                     upper.data(), static_cast<int>(upper.size()));
    if (length == static_cast<int>(path.size())) path.assign(upper.begin(), upper.end());
  }
  return ReplaceAll(path, u'\\', u'_');
}

struct InstanceGuard::Impl {
  ScopedKernelHandle mapping;
  unsigned char* view = nullptr;
  ScopedKernelHandle listener;
  ScopedKernelHandle listenerReady;
  // Serialises second instances at the argument block; the first instance
  // sets the taken event once it has copied a block.
  ScopedKernelHandle blockLock;
  ScopedKernelHandle blockTaken;
  std::shared_ptr<Shared> shared = std::make_shared<Shared>();

  ~Impl() {
    if (view != nullptr) UnmapViewOfFile(view);
  }
};

namespace {

struct Request {
  std::shared_ptr<Shared> shared;
  DWORD requester;  // the second instance's waiting thread
  TextList arguments;
};

DWORD WINAPI DeliverToSecondaryMainThread(void* parameter) {
  std::unique_ptr<Request> request(static_cast<Request*>(parameter));
  Shared& shared = *request->shared;
  if (shared.mainStarted.get() != nullptr) WaitForSingleObject(shared.mainStarted.get(), INFINITE);
  const DWORD requester = request->requester;
  const UINT messageId = shared.messageId;
  DeliverToSecondaryMain(shared.vm.load(), shared.target, request->arguments, [&](int32_t code) {
    PostThreadMessageW(requester, messageId, static_cast<WPARAM>(static_cast<uint32_t>(code)), 0);
  });
  return 0;
}

struct ListenerStart {
  std::shared_ptr<Shared> shared;
  const unsigned char* view;
  HANDLE ready;
  HANDLE blockTaken;
};

// Serves forwarding requests until WM_QUIT: each request's block is copied
// at once, so that the next second instance may write its own, and handed
// to a worker thread of its own.
DWORD WINAPI ListenerThread(void* parameter) {
  std::unique_ptr<ListenerStart> start(static_cast<ListenerStart*>(parameter));
  MSG message;
  // The thread's message queue exists from here on.
  PeekMessageW(&message, nullptr, WM_USER, WM_USER, PM_NOREMOVE);
  SetEvent(start->ready);
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    if (message.message != start->shared->messageId) continue;
    auto* request =
        new Request{start->shared, static_cast<DWORD>(message.wParam),
                    DecodeArgumentBlock(start->view + kBlockOffset, kBlockReadEnd - kBlockOffset)};
    if (start->blockTaken != nullptr) SetEvent(start->blockTaken);
    HANDLE worker = CreateThread(nullptr, 0, DeliverToSecondaryMainThread, request, 0, nullptr);
    if (worker == nullptr) {
      delete request;
    } else {
      CloseHandle(worker);
    }
  }
  return 0;
}

}  // namespace

InstanceGuard::InstanceGuard() : impl_(new Impl) {}

std::unique_ptr<InstanceGuard> InstanceGuard::Off() {
  return std::unique_ptr<InstanceGuard>(new InstanceGuard);
}

InstanceGuard::~InstanceGuard() { ReleaseSingleInstance(); }

// The listener is asked to quit until it has ended (a message posted before
// its queue exists is lost, so the request is repeated); then the view, the
// region and the event are released.
void InstanceGuard::ReleaseSingleInstance() {
  if (role_ == Role::kFirst && impl_->listener.get() != nullptr) {
    const DWORD listenerId = ReadField(impl_->view, kListenerThreadOffset);
    do {
      PostThreadMessageW(listenerId, WM_QUIT, 0, 0);
    } while (WaitForSingleObject(impl_->listener.get(), 10) == WAIT_TIMEOUT);
  }
  impl_.reset();
}

std::unique_ptr<InstanceGuard> InstanceGuard::SetupSingleInstance(
    const std::u16string& modulePath, const TextList& arguments,
    const SecondaryMainTarget& target) {
  std::unique_ptr<InstanceGuard> instance(new InstanceGuard);
  Impl& impl = *instance->impl_;
  const std::u16string base = InstanceBaseName(modulePath);

  // A new region is this user's alone.
  PrivateSecurity security;
  SetLastError(0);
  impl.mapping.Reset(CreateFileMappingW(INVALID_HANDLE_VALUE, security.get(), PAGE_READWRITE, 0,
                                        kRegionSize, W(base)));
  if (impl.mapping.get() == nullptr) return instance;
  const bool first = GetLastError() == 0;
  impl.view =
      static_cast<unsigned char*>(MapViewOfFile(impl.mapping.get(), FILE_MAP_WRITE, 0, 0, 0));
  if (impl.view == nullptr) return instance;

  const std::u16string lockName = base + u"_upr_lock";
  const std::u16string takenName = base + u"_upr_taken";

  if (first) {
    Shared& shared = *impl.shared;
    shared.target = target;
    shared.mainStarted.Reset(CreateEventW(nullptr, TRUE, FALSE, W(base + u"_upr_evt")));
    shared.messageId = RegisterWindowMessageW(W(base));
    if (shared.messageId == 0) return Off();
    impl.blockLock.Reset(CreateMutexW(nullptr, FALSE, W(lockName)));
    impl.blockTaken.Reset(CreateEventW(nullptr, FALSE, FALSE, W(takenName)));
    WriteField(impl.view, kMessageIdOffset, shared.messageId);
    WriteField(impl.view, kProcessIdOffset, GetCurrentProcessId());

    impl.listenerReady.Reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    auto* start =
        new ListenerStart{impl.shared, impl.view, impl.listenerReady.get(), impl.blockTaken.get()};
    impl.listener.Reset(CreateThread(nullptr, 0, ListenerThread, start, 0,
                                     reinterpret_cast<DWORD*>(impl.view + kListenerThreadOffset)));
    if (impl.listener.get() == nullptr) {
      delete start;
      return Off();
    }
    // A second instance can post only once the listener has its queue.
    if (impl.listenerReady.get() != nullptr)
      WaitForSingleObject(impl.listenerReady.get(), kListenerStartTimeoutMs);
    instance->role_ = Role::kFirst;
    return instance;
  }

  // Arguments go only to a region of this user: another user's region
  // leaves this start on its own, as without the mode.
  if (!IsOwnedByCurrentUser(impl.mapping.get(), SE_KERNEL_OBJECT)) {
    Trace(u"single instance: the region " + Quoted(base) + u" belongs to another user");
    return Off();
  }
  instance->role_ = Role::kSecond;
  if (ArgumentBlockSize(arguments) > kArgumentBlockLimit) return nullptr;
  // The reply is posted to this thread: its queue must exist before the
  // request goes out.
  MSG message;
  PeekMessageW(&message, nullptr, WM_USER, WM_USER, PM_NOREMOVE);

  // One second instance at a time writes the block and waits until the
  // first instance has copied it, so that no request carries another's
  // arguments.
  ScopedKernelHandle lock(CreateMutexW(nullptr, FALSE, W(lockName)));
  ScopedKernelHandle taken(OpenEventW(EVENT_MODIFY_STATE | SYNCHRONIZE, FALSE, W(takenName)));
  const bool locked =
      lock.get() != nullptr && WaitForSingleObject(lock.get(), kBlockLockTimeoutMs) != WAIT_TIMEOUT;
  if (taken.get() != nullptr) ResetEvent(taken.get());

  EncodeArgumentBlock(arguments, impl.view + kBlockOffset);
  const bool posted = PostRequest(impl.view);
  if (posted && taken.get() != nullptr) WaitForSingleObject(taken.get(), kBlockTakenTimeoutMs);
  if (locked) ReleaseMutex(lock.get());
  if (!posted) return nullptr;
  return instance;
}

void InstanceGuard::SignalMainStartedEvent(JavaVM* vm) {
  if (role_ != Role::kFirst) return;
  impl_->shared->vm.store(vm);
  if (impl_->shared->mainStarted.get() != nullptr) SetEvent(impl_->shared->mainStarted.get());
}

int InstanceGuard::WaitForFirstInstance() {
  if (role_ != Role::kSecond) return 0;
  const DWORD firstId = ReadField(impl_->view, kProcessIdOffset);
  ScopedKernelHandle process(OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, firstId));
  if (process.get() == nullptr) {
    Trace(u"single instance: the first instance (process " + ToDecimal(firstId) +
          u") cannot be opened: 0");
    return 0;
  }
  Trace(u"single instance: waiting for the first instance (process " + ToDecimal(firstId) + u")");
  const UINT messageId = ReadField(impl_->view, kMessageIdOffset);
  for (;;) {
    MSG message;
    if (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE) && message.message == messageId) {
      const int code = static_cast<int>(static_cast<uint32_t>(message.wParam));
      Trace(u"single instance: the wait ended: secondaryMain replied " + ToDecimal(code));
      return code;
    }
    DWORD code = 0;
    if (!GetExitCodeProcess(process.get(), &code)) {
      Trace(u"single instance: the wait ended: the first instance's exit code cannot be read: -1");
      return -1;
    }
    if (code != STILL_ACTIVE) {
      Trace(u"single instance: the wait ended: the first instance ended with its exit code " +
            ToDecimal(static_cast<int>(code)));
      return static_cast<int>(code);
    }
    Sleep(100);
  }
}

// Windows keeps the first instance's exit code itself.
void InstanceGuard::SetExitCode(int) {}
void InstanceGuard::OnVmExit(int32_t) {}

}  // namespace javelin
