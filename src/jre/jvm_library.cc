#include "jre/jvm_library.h"

#include <algorithm>

#include "base/file_system.h"
#include "jre/binary_machine.h"
#include "jre/runtime_layout.h"

namespace javelin {

namespace {

// The first existing library of `flavor` inside `home`, or empty.
std::u16string FindLibrary(const std::u16string& home, JvmFlavor flavor) {
  for (const std::u16string& relative : JvmLibraryPaths(flavor)) {
    const std::u16string path = home + relative;
    if (PathExists(path)) return path;
  }
  return {};
}

}  // namespace

std::u16string SelectJvmLibrary(const std::u16string& home, int32_t jvmKind, bool* isServerVm) {
  if (isServerVm) *isServerVm = false;
  if (jvmKind == kJvmTypeServer || jvmKind == kJvmTypeFavorServer) {
    std::u16string server = FindLibrary(home, JvmFlavor::kServer);
    if (!server.empty()) {
      if (isServerVm) *isServerVm = true;
      return server;
    }
    if (jvmKind == kJvmTypeServer) return {};
  }
  static const JvmFlavor kOrder[] = {JvmFlavor::kClient, JvmFlavor::kClassic, JvmFlavor::kHotspot,
                                     JvmFlavor::kServer, JvmFlavor::kJRockit};
  for (JvmFlavor flavor : kOrder) {
    std::u16string library = FindLibrary(home, flavor);
    if (!library.empty()) {
      if (isServerVm) *isServerVm = flavor == JvmFlavor::kServer;
      return library;
    }
  }
  return {};
}

void RankCandidates(JreCandidateList& list, const RankingPolicy& policy) {
  std::stable_sort(list.begin(), list.end(), [&](const JreCandidate& a, const JreCandidate& b) {
    if (policy.byPreferredMark && a.preferred != b.preferred) return a.preferred;
    if (policy.byServerVm && a.isServerVm != b.isServerVm) return a.isServerVm;
    return CompareVersions(a.version, b.version) > 0;
  });
}

const JreCandidate* PickCandidate(JreCandidateList& list, const RankingPolicy& policy,
                                  const TextList& preferredVersions) {
  if (list.empty()) return nullptr;
  RankCandidates(list, policy);
  // The first entry of "Preferred versions" that matches any candidate
  // decides; an entry without digits matches the top-ranked one.
  for (const std::u16string& entry : preferredVersions) {
    const VersionNumber preferred = ParseVersion(entry, 0);
    for (const JreCandidate& candidate : list) {
      if (MatchesPreferredVersion(candidate.version, preferred)) return &candidate;
    }
  }
  return &list.front();
}

bool CheckJvmMachine(const std::u16string& jvmLibraryPath, const std::u16string& pairProduct) {
  if (pairProduct.empty()) return false;
  const MachineType own = OwnMachine();
  uint16_t machine = 0;
  return ReadFileMachine(jvmLibraryPath, own.format, machine) && machine != own.machine;
}

}  // namespace javelin
