// The readiness datagrams: names that are no socket address are refused
// (delivery to abstract and path sockets is shown end to end).
#include <sys/un.h>

#include <gtest/gtest.h>

#include "modes/service_notify_posix.h"
#include "support/test_support.h"

namespace javelin {
namespace {

TEST(ServiceNotification, NamesThatAreNoSocketAddressAreRefused) {
  test::TempDir dir;
  const size_t room = sizeof(sockaddr_un::sun_path);
  for (const std::string& name : {std::string(), std::string("@"), std::string("relative/notify"),
                                  "/" + std::string(room - 1, 'x'), "@" + std::string(room, 'x'),
                                  ToUtf8(dir / u"nobody-listens")}) {
    EXPECT_FALSE(SendServiceNotification(name, "READY=1")) << name;
  }
}

}  // namespace
}  // namespace javelin
