// Where single-instance mode meets on POSIX: a lock file that the first
// instance holds with flock and a Unix-domain socket beside it on which it
// listens. Both die with their owner: a first instance that is killed
// leaves at most a stale socket file, which the next first instance
// replaces.
//
// Every start of one user meets in the same folder whatever its environment
// says (a desktop session's XDG_RUNTIME_DIR, or none under cron or ssh):
// ".javelin-instances" in the home folder that the password database gives
// for the user, private to the user (0700, owned by the user, not a link).
// No other user can create, claim or read it. The files in it are named
// after a hash of the host name and the executable's real path, so that a
// home folder shared between machines keeps their instances apart.
#pragma once

#include <string>

namespace javelin {

class InstanceRendezvous {
 public:
  InstanceRendezvous() = default;
  ~InstanceRendezvous();
  InstanceRendezvous(const InstanceRendezvous&) = delete;
  InstanceRendezvous& operator=(const InstanceRendezvous&) = delete;

  // The open private folder; every file operation goes through it, so that
  // nothing can swap the folder once it has been checked.
  int folder = -1;
  std::string folderPath;
  std::string lockName;  // names inside the folder
  std::string socketName;
  // What bind and connect use: the socket reached through this process's
  // descriptor of the folder, which stays short whatever the folder's path
  // (socket addresses hold at most 107 bytes).
  std::string socketAddress;

  std::string LockPath() const { return folderPath + "/" + lockName; }
  std::string SocketPath() const { return folderPath + "/" + socketName; }
};

// Opens (creating it when missing) the private folder and names the files
// for the executable at `modulePath`. False with the reason in `whyNot` when
// there is no such folder: no home folder, one that other users may write,
// or a folder there that is not this user's private one.
bool FindInstanceRendezvous(const std::u16string& modulePath, InstanceRendezvous& rendezvous,
                            std::string& whyNot);

}  // namespace javelin
