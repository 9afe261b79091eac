#include "modes/service_notify_posix.h"

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstddef>
#include <cstdlib>
#include <cstring>

namespace javelin {

bool SendServiceNotification(const std::string& socketName, const std::string& state) {
  if (socketName.size() < 2 || (socketName[0] != '/' && socketName[0] != '@')) return false;
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  if (socketName.size() > sizeof address.sun_path) return false;
  memcpy(address.sun_path, socketName.data(), socketName.size());
  // An abstract name starts with a zero byte and is not terminated; a path
  // is, so it must leave room for the terminator.
  if (socketName[0] == '@') {
    address.sun_path[0] = '\0';
  } else if (socketName.size() == sizeof address.sun_path) {
    return false;
  }
  const socklen_t length = static_cast<socklen_t>(
      offsetof(sockaddr_un, sun_path) + socketName.size() + (socketName[0] == '/' ? 1 : 0));
  int flags = SOCK_DGRAM;
#ifdef SOCK_CLOEXEC
  flags |= SOCK_CLOEXEC;
#endif
  const int fd = socket(AF_UNIX, flags, 0);
  if (fd < 0) return false;
  int sendFlags = 0;
#ifdef MSG_NOSIGNAL
  sendFlags |= MSG_NOSIGNAL;
#endif
  const ssize_t sent = sendto(fd, state.data(), state.size(), sendFlags,
                              reinterpret_cast<const sockaddr*>(&address), length);
  close(fd);
  return sent == static_cast<ssize_t>(state.size());
}

bool NotifyServiceManager(const std::string& state) {
  const char* socketName = getenv("NOTIFY_SOCKET");
  if (socketName == nullptr || socketName[0] == '\0') return false;
  return SendServiceNotification(socketName, state);
}

}  // namespace javelin
