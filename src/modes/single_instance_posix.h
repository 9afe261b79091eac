// Where single-instance mode meets on POSIX: a lock file that the first
// instance holds with flock and a Unix-domain socket beside it on which it
// listens. Both die with their owner: a first instance that is killed
// leaves at most a stale socket file, which the next first instance
// replaces.
#pragma once

#include <string>

namespace javelin {

struct InstanceRendezvous {
  std::string lockPath;
  std::string socketPath;
};

// The two paths for the executable at `modulePath`: named after a hash of
// its real path, in $XDG_RUNTIME_DIR when that is a private folder of this
// user, else in /tmp/javelin-<uid> (created with mode 0700). False when
// there is no such folder or the socket path would be too long.
bool FindInstanceRendezvous(const std::u16string& modulePath, InstanceRendezvous& rendezvous);

}  // namespace javelin
