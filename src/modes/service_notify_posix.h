// The service manager's readiness protocol: one datagram of "KEY=VALUE"
// lines sent to the socket named by NOTIFY_SOCKET.
#pragma once

#include <string>

namespace javelin {

// Sends `state` (for example "READY=1") as one datagram to `socketName`: a
// path starting with "/", or an abstract socket name starting with "@".
// False for any other name, a name too long for a socket address, or a
// failed send.
bool SendServiceNotification(const std::string& socketName, const std::string& state);

// Sends `state` to the socket in NOTIFY_SOCKET; false when the variable is
// unset or empty or the send fails.
bool NotifyServiceManager(const std::string& state);

}  // namespace javelin
