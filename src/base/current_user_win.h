// The user this process runs as, for the objects it shares with its own
// later starts: who may own them, and a security descriptor that gives them
// to this user alone.
#pragma once

#include <windows.h>

#include <aclapi.h>

#include <vector>

namespace javelin {

// Whether `object` (a file or kernel object handle opened with READ_CONTROL)
// is owned by this user: by the token's user, or by the token's default
// owner, which is what an elevated process of this user gives its objects.
// False when the owner cannot be read.
bool IsOwnedByCurrentUser(HANDLE object, SE_OBJECT_TYPE type);

// Security attributes, not inheritable, whose descriptor makes this user the
// owner and grants access to this user only.
class PrivateSecurity {
 public:
  PrivateSecurity();
  PrivateSecurity(const PrivateSecurity&) = delete;
  PrivateSecurity& operator=(const PrivateSecurity&) = delete;
  // Null when the descriptor could not be built: the caller then gets the
  // defaults of its folder or namespace.
  SECURITY_ATTRIBUTES* get() { return valid_ ? &attributes_ : nullptr; }

 private:
  std::vector<BYTE> user_;
  std::vector<BYTE> acl_;
  SECURITY_DESCRIPTOR descriptor_;
  SECURITY_ATTRIBUTES attributes_;
  bool valid_ = false;
};

}  // namespace javelin
