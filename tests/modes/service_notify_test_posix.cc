// The readiness datagrams: where they go and which socket names are refused.
#include <poll.h>
#include <stdlib.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>

#include "base/text.h"
#include "modes/service_notify_posix.h"
#include "support/test_support.h"

namespace javelin {
namespace {

// Binds a datagram socket under `name` ("@..." abstract, else a path) and
// returns what one send delivers to it, or "<none>".
std::string Delivered(const std::string& name, bool (*send)(const std::string& name)) {
  const int fd = socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  memcpy(address.sun_path, name.data(), name.size());
  if (name[0] == '@') address.sun_path[0] = '\0';
  const socklen_t length =
      static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + name.size() + (name[0] == '@' ? 0 : 1));
  std::string received = "<unbound>";
  if (bind(fd, reinterpret_cast<sockaddr*>(&address), length) == 0) {
    received = send(name) ? "" : "<send failed>";
    pollfd entry{fd, POLLIN, 0};
    char buffer[256];
    if (poll(&entry, 1, 1000) == 1) {
      const ssize_t size = recv(fd, buffer, sizeof buffer, 0);
      if (size >= 0) received += std::string(buffer, static_cast<size_t>(size));
    } else {
      received += "<none>";
    }
  }
  close(fd);
  if (name[0] == '/') unlink(name.c_str());
  return received;
}

TEST(ServiceNotification, ADatagramReachesAbstractAndPathSockets) {
  test::TempDir dir;
  const std::string abstractName = "@javelin-notify-" + std::to_string(getpid());
  const std::string pathName = ToUtf8(dir / u"notify");
  for (const std::string& name : {abstractName, pathName}) {
    EXPECT_EQ(Delivered(name, [](const std::string& to) { return SendServiceNotification(to, "READY=1"); }),
              "READY=1")
        << name;
    // The same through the environment, as a supervisor sets it.
    setenv("NOTIFY_SOCKET", name.c_str(), 1);
    EXPECT_EQ(Delivered(name, [](const std::string&) { return NotifyServiceManager("STOPPING=1"); }), "STOPPING=1")
        << name;
  }
  unsetenv("NOTIFY_SOCKET");
  EXPECT_FALSE(NotifyServiceManager("READY=1"));
  setenv("NOTIFY_SOCKET", "", 1);
  EXPECT_FALSE(NotifyServiceManager("READY=1"));
  unsetenv("NOTIFY_SOCKET");
}

TEST(ServiceNotification, NamesThatAreNoSocketAddressAreRefused) {
  test::TempDir dir;
  const std::string missingPath = ToUtf8(dir / u"nobody-listens");
  for (const std::string& name : {std::string(), std::string("@"), std::string("relative/notify"),
                                  std::string("/") + std::string(sizeof(sockaddr_un::sun_path), 'x'),
                                  std::string("/") + std::string(sizeof(sockaddr_un::sun_path) - 1, 'x'),
                                  missingPath}) {
    EXPECT_FALSE(SendServiceNotification(name, "READY=1")) << name;
  }
}

}  // namespace
}  // namespace javelin
