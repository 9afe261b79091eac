// Single-instance mode on POSIX. The first instance holds an flock on the
// lock file and listens on the socket; a second instance connects, sends its
// argument block and reads one 32-bit exit code back: the reply of
// secondaryMain, or the first instance's exit code when it ends without a
// reply. A connection that closes without a code means the first instance
// was killed.
#include "modes/single_instance_posix.h"

#include <fcntl.h>
#include <poll.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <climits>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

#include "base/trace.h"
#include "modes/argument_block.h"
#include "modes/single_instance.h"

namespace javelin {

namespace {

// How long a second instance keeps trying while another process holds the
// lock but does not listen yet (it is starting up or ending), and how long
// a first instance waits for a connected second instance's block.
constexpr auto kConnectPatience = std::chrono::seconds(5);
constexpr auto kConnectRetryPause = std::chrono::milliseconds(10);
constexpr int kRequestTimeoutMs = 10000;

class Fd {
 public:
  explicit Fd(int fd = -1) : fd_(fd) {}
  ~Fd() { reset(); }
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  int get() const { return fd_; }
  int release() {
    const int fd = fd_;
    fd_ = -1;
    return fd;
  }
  void reset(int fd = -1) {
    if (fd_ >= 0) close(fd_);
    fd_ = fd;
  }

 private:
  int fd_;
};

bool WriteAll(int fd, const void* data, size_t size) {
  const char* bytes = static_cast<const char*>(data);
  while (size > 0) {
    const ssize_t written = send(fd, bytes, size, MSG_NOSIGNAL);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return false;
    bytes += written;
    size -= static_cast<size_t>(written);
  }
  return true;
}

// Reads exactly `size` bytes; a negative timeout waits for ever.
bool ReadAll(int fd, void* data, size_t size, int timeoutMs) {
  char* bytes = static_cast<char*>(data);
  while (size > 0) {
    pollfd waiting{fd, POLLIN, 0};
    const int ready = poll(&waiting, 1, timeoutMs);
    if (ready < 0 && errno == EINTR) continue;
    if (ready <= 0) return false;
    const ssize_t got = recv(fd, bytes, size, 0);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) return false;
    bytes += got;
    size -= static_cast<size_t>(got);
  }
  return true;
}

bool PeerIsThisUser(int fd) {
#ifdef SO_PEERCRED
  ucred credentials{};
  socklen_t length = sizeof credentials;
  return getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &credentials, &length) == 0 &&
         credentials.uid == geteuid();
#else
  uid_t uid;
  gid_t gid;
  return getpeereid(fd, &uid, &gid) == 0 && uid == geteuid();
#endif
}

// The process at the other end of a connection, 0 when the system does
// not tell.
long PeerProcessId(int fd) {
#ifdef SO_PEERCRED
  ucred credentials{};
  socklen_t length = sizeof credentials;
  if (getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &credentials, &length) == 0) return credentials.pid;
#endif
  return 0;
}

// FNV-1a, 64 bits: short names from paths of any length.
std::string HashName(const std::string& text) {
  uint64_t hash = 0xcbf29ce484222325ULL;
  for (unsigned char c : text) {
    hash ^= c;
    hash *= 0x100000001b3ULL;
  }
  char name[17];
  std::snprintf(name, sizeof name, "%016llx", static_cast<unsigned long long>(hash));
  return name;
}

constexpr char kFolderName[] = ".javelin-instances";

// The user's home folder from the password database: the environment
// (HOME) differs between a desktop, sudo and cron, the database does not.
bool HomeFolder(std::string& home) {
  long size = sysconf(_SC_GETPW_R_SIZE_MAX);
  std::vector<char> buffer(size > 0 ? static_cast<size_t>(size) : 16384);
  passwd entry;
  passwd* found = nullptr;
  while (getpwuid_r(geteuid(), &entry, buffer.data(), buffer.size(), &found) == ERANGE) {
    if (buffer.size() > (1u << 20)) return false;
    buffer.resize(buffer.size() * 2);
  }
  if (found == nullptr || found->pw_dir == nullptr || found->pw_dir[0] != '/') return false;
  home = found->pw_dir;
  return true;
}

// What a second instance learns after its exit code: where the code came
// from, for the trace.
enum AnswerKind : int32_t { kReplied = 0, kFirstEnded = 1, kNotServed = 2 };

bool SendAnswer(int fd, int32_t code, AnswerKind kind) {
  const int32_t answer[2] = {code, kind};
  return WriteAll(fd, answer, sizeof answer);
}

bool MakeAddress(const std::string& path, sockaddr_un& address) {
  std::memset(&address, 0, sizeof address);
  address.sun_family = AF_UNIX;
  if (path.size() >= sizeof address.sun_path) return false;
  std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
  return true;
}

// One second instance's connection. Its descriptor is closed once it has
// been answered and its worker is done with it, whichever comes last.
struct Connection {
  int fd;
  bool answered = false;
  bool workerDone = false;
};

}  // namespace

InstanceRendezvous::~InstanceRendezvous() {
  if (folder >= 0) close(folder);
}

bool FindInstanceRendezvous(const std::u16string& modulePath, InstanceRendezvous& rendezvous,
                            std::string& whyNot) {
  std::string home;
  if (!HomeFolder(home)) {
    whyNot = "this user has no home folder in the password database";
    return false;
  }
  Fd homeFolder(open(home.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  struct stat status;
  if (homeFolder.get() < 0 || fstat(homeFolder.get(), &status) != 0) {
    whyNot = "the home folder " + home + " cannot be opened: " + std::strerror(errno);
    return false;
  }
  // Whoever may write the home folder may replace the folder in it.
  if ((status.st_uid != geteuid() && status.st_uid != 0) || (status.st_mode & 022) != 0) {
    whyNot = "other users may write the home folder " + home;
    return false;
  }
  rendezvous.folderPath = (home == "/" ? "" : home) + "/" + kFolderName;
  if (mkdirat(homeFolder.get(), kFolderName, 0700) != 0 && errno != EEXIST) {
    whyNot = rendezvous.folderPath + " cannot be created: " + std::strerror(errno);
    return false;
  }
  Fd folder(openat(homeFolder.get(), kFolderName, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
  if (folder.get() < 0 || fstat(folder.get(), &status) != 0 || status.st_uid != geteuid() ||
      (status.st_mode & 077) != 0) {
    whyNot = rendezvous.folderPath + " is not a folder of this user's alone";
    return false;
  }

  std::string path = ToUtf8(modulePath);
  char real[PATH_MAX];
  if (realpath(path.c_str(), real) != nullptr) path = real;
  char host[256] = {};
  gethostname(host, sizeof host - 1);
  const std::string stem = HashName(std::string(host) + '\n' + path);
  rendezvous.lockName = stem + ".lock";
  rendezvous.socketName = stem + ".socket";
  rendezvous.socketAddress =
      "/proc/self/fd/" + std::to_string(folder.get()) + "/" + rendezvous.socketName;
  if (access("/proc/self/fd", F_OK) != 0) rendezvous.socketAddress = rendezvous.SocketPath();
  sockaddr_un address;
  if (!MakeAddress(rendezvous.socketAddress, address)) {
    whyNot = "the socket path " + rendezvous.socketAddress + " is too long";
    return false;
  }
  rendezvous.folder = folder.release();
  return true;
}

namespace {

// What the listener, the workers and the exit hook share; it lives as long
// as the last worker.
struct Shared {
  std::mutex mutex;
  std::condition_variable changed;
  bool mainStarted = false;
  bool closing = false;
  JavaVM* vm = nullptr;
  SecondaryMainTarget target;
  std::vector<Connection*> connections;
  int exitCode = -1;

  // Both with `mutex` held.
  void Answer(Connection* connection, int32_t code, AnswerKind kind) {
    if (connection->answered) return;
    connection->answered = true;
    SendAnswer(connection->fd, code, kind);
    shutdown(connection->fd, SHUT_RDWR);
    CloseIfDone(connection);
  }
  void CloseIfDone(Connection* connection) {
    if (!connection->answered || !connection->workerDone) return;
    close(connection->fd);
    for (auto it = connections.begin(); it != connections.end(); ++it) {
      if (*it == connection) {
        connections.erase(it);
        break;
      }
    }
    delete connection;
  }
  void AnswerAll(int32_t code) {
    const std::vector<Connection*> open = connections;
    for (Connection* connection : open) Answer(connection, code, kFirstEnded);
    changed.notify_all();
  }
};

// One forwarded request: read the block, wait for main, call secondaryMain.
void ServeConnection(std::shared_ptr<Shared> shared, Connection* connection) {
  unsigned char block[kArgumentBlockLimit];
  const bool received = ReadAll(connection->fd, block, sizeof block, kRequestTimeoutMs);
  JavaVM* vm = nullptr;
  {
    std::unique_lock<std::mutex> lock(shared->mutex);
    if (!received) shared->Answer(connection, -1, kNotServed);
    shared->changed.wait(
        lock, [&] { return shared->mainStarted || shared->closing || connection->answered; });
    vm = shared->vm;
    if (shared->closing || connection->answered) {
      connection->workerDone = true;
      shared->CloseIfDone(connection);
      return;
    }
  }
  DeliverToSecondaryMain(vm, shared->target, DecodeArgumentBlock(block, sizeof block),
                         [&](int32_t code) {
                           std::lock_guard<std::mutex> lock(shared->mutex);
                           shared->Answer(connection, code, kReplied);
                         });
  // Without a reply the second instance waits for this process's exit code.
  std::lock_guard<std::mutex> lock(shared->mutex);
  connection->workerDone = true;
  shared->CloseIfDone(connection);
}

// Accepts a connection from this user only and hands it to a new worker.
void AcceptOne(const std::shared_ptr<Shared>& shared, int listening) {
  Fd accepted(accept4(listening, nullptr, nullptr, SOCK_CLOEXEC));
  if (accepted.get() < 0 || !PeerIsThisUser(accepted.get())) return;
  auto* connection = new Connection{accepted.release()};
  std::lock_guard<std::mutex> lock(shared->mutex);
  shared->connections.push_back(connection);
  if (shared->closing) {
    // The process is ending: no call any more, only its exit code.
    connection->workerDone = true;
    shared->Answer(connection, shared->exitCode, kFirstEnded);
    return;
  }
  try {
    std::thread(ServeConnection, shared, connection).detach();
  } catch (const std::system_error&) {
    connection->workerDone = true;
    shared->Answer(connection, -1, kNotServed);
  }
}

}  // namespace

struct InstanceGuard::Impl {
  InstanceRendezvous rendezvous;
  Fd lock;       // held with flock by a first instance
  Fd listening;  // first instance
  Fd wakeRead;   // ends the listener
  Fd wakeWrite;
  std::thread listener;
  Fd connection;  // second instance
  std::shared_ptr<Shared> shared = std::make_shared<Shared>();

  // Opens (or creates) the lock file; false when it is not a plain file of
  // this user.
  bool OpenLock() {
    lock.reset(openat(rendezvous.folder, rendezvous.lockName.c_str(),
                      O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600));
    struct stat status;
    return lock.get() >= 0 && fstat(lock.get(), &status) == 0 && S_ISREG(status.st_mode) &&
           status.st_uid == geteuid();
  }

  bool LockIsAtItsPath() {
    struct stat held, named;
    return fstat(lock.get(), &held) == 0 &&
           fstatat(rendezvous.folder, rendezvous.lockName.c_str(), &named, AT_SYMLINK_NOFOLLOW) ==
               0 &&
           held.st_dev == named.st_dev && held.st_ino == named.st_ino;
  }

  // Removes both files while the lock is still held, so that no later start
  // takes them for its own.
  void RemoveFiles() {
    unlinkat(rendezvous.folder, rendezvous.socketName.c_str(), 0);
    unlinkat(rendezvous.folder, rendezvous.lockName.c_str(), 0);
  }

  // With the lock held: replaces a stale socket file and listens.
  bool Listen() {
    struct stat status;
    if (fstatat(rendezvous.folder, rendezvous.socketName.c_str(), &status, AT_SYMLINK_NOFOLLOW) ==
        0) {
      if (status.st_uid != geteuid()) return false;
      unlinkat(rendezvous.folder, rendezvous.socketName.c_str(), 0);
    }
    sockaddr_un address;
    if (!MakeAddress(rendezvous.socketAddress, address)) return false;
    listening.reset(socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
    if (listening.get() < 0) return false;
    if (bind(listening.get(), reinterpret_cast<sockaddr*>(&address), sizeof address) != 0)
      return false;
    fchmodat(rendezvous.folder, rendezvous.socketName.c_str(), 0600, 0);
    if (listen(listening.get(), SOMAXCONN) != 0) return false;
    int wake[2];
    if (pipe2(wake, O_CLOEXEC) != 0) return false;
    wakeRead.reset(wake[0]);
    wakeWrite.reset(wake[1]);
    try {
      listener = std::thread(&Impl::ListenUntilWoken, this);
    } catch (const std::system_error&) {
      return false;
    }
    return true;
  }

  void ListenUntilWoken() {
    for (;;) {
      pollfd waiting[2] = {{listening.get(), POLLIN, 0}, {wakeRead.get(), POLLIN, 0}};
      if (poll(waiting, 2, -1) < 0) {
        if (errno == EINTR) continue;
        return;
      }
      if (waiting[1].revents != 0) return;
      if (waiting[0].revents & POLLIN) AcceptOne(shared, listening.get());
    }
  }

  // The first instance's end: no new second instance finds the socket,
  // those already queued and all still waiting get the exit code, and the
  // lock goes to the next start.
  void StopListening() {
    if (listener.joinable()) {
      const char wake = 1;
      if (write(wakeWrite.get(), &wake, 1) < 0) {
      }
      listener.join();
    }
    RemoveFiles();
    std::lock_guard<std::mutex> guard(shared->mutex);
    if (listening.get() >= 0) {
      fcntl(listening.get(), F_SETFL, fcntl(listening.get(), F_GETFL) | O_NONBLOCK);
      for (;;) {
        const int queued = accept4(listening.get(), nullptr, nullptr, SOCK_CLOEXEC);
        if (queued < 0) break;
        SendAnswer(queued, shared->exitCode, kFirstEnded);
        close(queued);
      }
      listening.reset();
    }
    shared->closing = true;
    shared->AnswerAll(shared->exitCode);
    shared->changed.notify_all();
  }

  // Second instance: reaches the first instance's socket; false when it
  // does not listen.
  bool Connect() {
    struct stat status;
    if (fstatat(rendezvous.folder, rendezvous.socketName.c_str(), &status, AT_SYMLINK_NOFOLLOW) !=
            0 ||
        !S_ISSOCK(status.st_mode)) {
      return false;
    }
    sockaddr_un address;
    if (!MakeAddress(rendezvous.socketAddress, address)) return false;
    connection.reset(socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
    if (connection.get() < 0) return false;
    if (connect(connection.get(), reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
      connection.reset();
      return false;
    }
    return true;
  }
};

InstanceGuard::InstanceGuard() : impl_(new Impl) {}

std::unique_ptr<InstanceGuard> InstanceGuard::Off() {
  return std::unique_ptr<InstanceGuard>(new InstanceGuard);
}

InstanceGuard::~InstanceGuard() { ReleaseSingleInstance(); }

void InstanceGuard::ReleaseSingleInstance() {
  if (role_ == Role::kFirst) impl_->StopListening();
  impl_.reset();
}

std::unique_ptr<InstanceGuard> InstanceGuard::SetupSingleInstance(
    const std::u16string& modulePath, const TextList& arguments,
    const SecondaryMainTarget& target) {
  std::unique_ptr<InstanceGuard> instance(new InstanceGuard);
  Impl& impl = *instance->impl_;
  std::string whyNot;
  if (!FindInstanceRendezvous(modulePath, impl.rendezvous, whyNot)) {
    Trace(u"single instance: no private place to meet: " + FromUtf8(whyNot));
    return instance;
  }

  if (!impl.OpenLock()) return Off();

  const auto deadline = std::chrono::steady_clock::now() + kConnectPatience;
  for (;;) {
    if (flock(impl.lock.get(), LOCK_EX | LOCK_NB) == 0) {
      // The previous first instance removed the file on its way out: lock
      // the one that is there now.
      if (!impl.LockIsAtItsPath()) {
        if (!impl.OpenLock()) return Off();
        continue;
      }
      impl.shared->target = target;
      if (!impl.Listen()) return Off();
      instance->role_ = Role::kFirst;
      return instance;
    }
    if (errno != EWOULDBLOCK && errno != EINTR) return Off();

    // Another process holds the lock: this is a second instance.
    if (ArgumentBlockSize(arguments) > kArgumentBlockLimit) return nullptr;
    struct stat socketStatus;
    if (fstatat(impl.rendezvous.folder, impl.rendezvous.socketName.c_str(), &socketStatus,
                AT_SYMLINK_NOFOLLOW) == 0 &&
        socketStatus.st_uid != geteuid()) {
      return Off();
    }
    if (impl.Connect()) {
      if (!PeerIsThisUser(impl.connection.get())) return Off();
      unsigned char block[kArgumentBlockLimit];
      EncodeArgumentBlock(arguments, block);
      if (!WriteAll(impl.connection.get(), block, sizeof block)) return nullptr;
      impl.lock.reset();
      instance->role_ = Role::kSecond;
      return instance;
    }
    // The holder is starting up or ending: try again for a while.
    if (std::chrono::steady_clock::now() > deadline) return nullptr;
    std::this_thread::sleep_for(kConnectRetryPause);
  }
}

void InstanceGuard::SignalMainStartedEvent(JavaVM* vm) {
  if (role_ != Role::kFirst) return;
  std::lock_guard<std::mutex> lock(impl_->shared->mutex);
  impl_->shared->vm = vm;
  impl_->shared->mainStarted = true;
  impl_->shared->changed.notify_all();
}

int InstanceGuard::WaitForFirstInstance() {
  if (role_ != Role::kSecond) return 0;
  if (TraceEnabled()) {
    const long first = PeerProcessId(impl_->connection.get());
    Trace(u"single instance: waiting for the first instance" +
          (first > 0 ? u" (process " + ToDecimal(first) + u")" : std::u16string()));
  }
  int32_t answer[2] = {0, kReplied};
  // A first instance that was killed closes the connection without a code.
  if (!ReadAll(impl_->connection.get(), answer, sizeof answer, -1)) {
    Trace(
        u"single instance: the wait ended: the first instance ended without an exit code (killed): "
        u"-1");
    return -1;
  }
  static const char16_t* const kEnds[] = {u"secondaryMain replied",
                                          u"the first instance ended with its exit code",
                                          u"the first instance could not take the request"};
  const bool known = answer[1] >= kReplied && answer[1] <= kNotServed;
  Trace(u"single instance: the wait ended: " +
        std::u16string(known ? kEnds[answer[1]] : u"answered") + u" " + ToDecimal(answer[0]));
  return answer[0];
}

void InstanceGuard::SetExitCode(int code) {
  std::lock_guard<std::mutex> lock(impl_->shared->mutex);
  impl_->shared->exitCode = code;
}

// System.exit: the process ends right after this hook, without the
// launcher's teardown, so every waiting second instance learns the code now.
// New starts no longer find the files; the next one becomes the next first
// instance.
void InstanceGuard::OnVmExit(int32_t code) {
  if (role_ != Role::kFirst) return;
  impl_->RemoveFiles();
  std::lock_guard<std::mutex> lock(impl_->shared->mutex);
  impl_->shared->exitCode = code;
  impl_->shared->closing = true;
  impl_->shared->AnswerAll(code);
}

}  // namespace javelin
