// The readiness datagrams: names that are no socket address are refused
// (delivery to abstract and path sockets is shown by the service's
// end-to-end test).
#include <stdlib.h>
#include <sys/un.h>

#include <gtest/gtest.h>

#include "base/text.h"
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
  for (const char* value : {static_cast<const char*>(nullptr), ""}) {
    value ? setenv("NOTIFY_SOCKET", value, 1) : unsetenv("NOTIFY_SOCKET");
    EXPECT_FALSE(NotifyServiceManager("READY=1"));
  }
  unsetenv("NOTIFY_SOCKET");
}

}  // namespace
}  // namespace javelin
