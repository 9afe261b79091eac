#include "jre/jvm_library.h"

#include <algorithm>

#include "jre/binary_machine.h"
#include "jre/runtime_layout.h"
#include "launcher/launcher.h"

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
  if (jvmKind == Launcher::kJvmTypeServer || jvmKind == Launcher::kJvmTypeFavorServer) {
    std::u16string server = FindLibrary(home, JvmFlavor::kServer);
    if (!server.empty()) {
      if (isServerVm) *isServerVm = true;
      return server;
    }
    if (jvmKind == Launcher::kJvmTypeServer) return {};
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

void RankCandidates(JreCandidateList& list, const Launcher& launcher) {
  const bool byPreferredMark = launcher.bothKindsAllowed;
  const bool byServerVm = launcher.jvmType == Launcher::kJvmTypeFavorServer;
  // The rules are tried in order; the first that tells two candidates apart
  // decides. Candidates no rule separates keep their collection order.
  std::stable_sort(list.begin(), list.end(), [&](const JreCandidate& a, const JreCandidate& b) {
    if (byPreferredMark && a.preferred != b.preferred) return a.preferred;
    if (byServerVm && a.isServerVm != b.isServerVm) return a.isServerVm;
    return CompareVersions(a.version, b.version) > 0;
  });
}

bool PickCandidate(JreCandidateList& list, const Launcher& launcher, VersionNumber& version,
                   std::u16string& home) {
  if (list.empty()) return false;
  RankCandidates(list, launcher);
  const JreCandidate* picked = &list.front();
  // The first entry of "Preferred versions" that matches any candidate
  // decides; an entry without digits matches the top-ranked one.
  bool decided = false;
  for (const std::u16string& entry : launcher.preferredVersions) {
    const VersionNumber preferred = ParseVersion(entry, 0);
    for (const JreCandidate& candidate : list) {
      if (MatchesPreferredVersion(candidate.version, preferred)) {
        picked = &candidate;
        decided = true;
        break;
      }
    }
    if (decided) break;
  }
  version = picked->version;
  home = picked->home;
  return true;
}

void CheckJvmMachine(Launcher& launcher) {
  launcher.handOverToPair = false;
  if (launcher.pairProduct.empty()) return;
  const MachineType own = OwnMachine();
  uint16_t machine = 0;
  if (ReadFileMachine(launcher.jvmLibraryPath, own.format, machine) && machine != own.machine) {
    launcher.handOverToPair = true;
  }
}

}  // namespace javelin
