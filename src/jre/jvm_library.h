// Choosing the JVM library inside a Java home, ranking installed runtimes
// and the machine check that decides the hand-over to the pair launcher.
#pragma once

#include <string>
#include <vector>

#include "jre/version.h"

namespace javelin {

class Launcher;

struct JreCandidate {
  VersionNumber version;
  std::u16string home;  // always ends in the path separator
  bool isServerVm = false;
  bool preferred = false;
};

using JreCandidateList = std::vector<JreCandidate>;

// True when the file or folder exists.
bool PathExists(const std::u16string& path);

// The JVM library inside `home` (which ends in the separator) for a kind of
// the "JVM Type" setting, or empty. `isServerVm` tells whether it is the
// server VM.
std::u16string SelectJvmLibrary(const std::u16string& home, int32_t jvmKind,
                                bool* isServerVm = nullptr);

void RankCandidates(JreCandidateList& list, const Launcher& launcher);
bool PickCandidate(JreCandidateList& list, const Launcher& launcher,
                   VersionNumber& version, std::u16string& home);

// Sets launcher.handOverToPair when "Pair Product" is set and the JVM library
// is built for another machine than the launcher itself.
void CheckJvmMachine(Launcher& launcher);

}  // namespace javelin
