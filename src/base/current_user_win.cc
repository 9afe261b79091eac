#include "base/current_user_win.h"

namespace javelin {

namespace {

// The token's SID of `kind` (TokenUser or TokenOwner), copied out.
std::vector<BYTE> TokenSid(TOKEN_INFORMATION_CLASS kind) {
  std::vector<BYTE> sid;
  HANDLE token = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return sid;
  DWORD size = 0;
  GetTokenInformation(token, kind, nullptr, 0, &size);
  std::vector<BYTE> information(size);
  if (size != 0 && GetTokenInformation(token, kind, information.data(), size, &size)) {
    // TOKEN_USER and TOKEN_OWNER both begin with the SID's pointer.
    PSID found = kind == TokenUser ? reinterpret_cast<TOKEN_USER*>(information.data())->User.Sid
                                   : reinterpret_cast<TOKEN_OWNER*>(information.data())->Owner;
    if (found != nullptr && IsValidSid(found)) {
      sid.resize(GetLengthSid(found));
      CopySid(static_cast<DWORD>(sid.size()), sid.data(), found);
    }
  }
  CloseHandle(token);
  return sid;
}

}  // namespace

bool IsOwnedByCurrentUser(HANDLE object, SE_OBJECT_TYPE type) {
  PSID owner = nullptr;
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  if (GetSecurityInfo(object, type, OWNER_SECURITY_INFORMATION, &owner, nullptr, nullptr, nullptr,
                      &descriptor) != ERROR_SUCCESS) {
    return false;
  }
  bool owned = false;
  if (owner != nullptr) {
    for (TOKEN_INFORMATION_CLASS kind : {TokenUser, TokenOwner}) {
      std::vector<BYTE> sid = TokenSid(kind);
      owned = owned || (!sid.empty() && EqualSid(owner, sid.data()));
    }
  }
  LocalFree(descriptor);
  return owned;
}

PrivateSecurity::PrivateSecurity() : user_(TokenSid(TokenUser)), descriptor_{}, attributes_{} {
  if (user_.empty()) return;
  PSID user = user_.data();
  acl_.resize(sizeof(ACL) + sizeof(ACCESS_ALLOWED_ACE) + GetLengthSid(user));
  ACL* acl = reinterpret_cast<ACL*>(acl_.data());
  valid_ = InitializeAcl(acl, static_cast<DWORD>(acl_.size()), ACL_REVISION) &&
           AddAccessAllowedAce(acl, ACL_REVISION, GENERIC_ALL, user) &&
           InitializeSecurityDescriptor(&descriptor_, SECURITY_DESCRIPTOR_REVISION) &&
           SetSecurityDescriptorOwner(&descriptor_, user, FALSE) &&
           SetSecurityDescriptorDacl(&descriptor_, TRUE, acl, FALSE) &&
           // Not widened by what the folder passes on.
           SetSecurityDescriptorControl(&descriptor_, SE_DACL_PROTECTED, SE_DACL_PROTECTED);
  attributes_.nLength = sizeof attributes_;
  attributes_.lpSecurityDescriptor = &descriptor_;
  attributes_.bInheritHandle = FALSE;
}

}  // namespace javelin
