// Choosing the JVM library inside a Java home, ranking installed runtimes
// and the machine check that decides the hand-over to the pair launcher.
#pragma once

#include <string>
#include <vector>

#include "base/text.h"
#include "config/jvm_kind.h"
#include "config/version.h"

namespace javelin {

struct JreCandidate {
  VersionNumber version;
  std::u16string home;  // always ends in the path separator
  bool isServerVm = false;
  bool preferred = false;
};

using JreCandidateList = std::vector<JreCandidate>;

// The ranking rules the settings switch on, tried in this order before the
// higher version wins.
struct RankingPolicy {
  bool byPreferredMark = false;  // both kinds allowed: preferred kind and vendor first
  bool byServerVm = false;       // "favor_server": the server VM first
};

// The JVM library inside `home` (which ends in the separator) for a kind of
// the "JVM Type" setting, or empty. `isServerVm` tells whether it is the
// server VM.
std::u16string SelectJvmLibrary(const std::u16string& home, int32_t jvmKind,
                                bool* isServerVm = nullptr);

// Sorts the candidates by the policy, stably: candidates no rule separates
// keep their collection order.
void RankCandidates(JreCandidateList& list, const RankingPolicy& policy);

// Ranks the list and returns the candidate to use: the first that matches the
// first entry of `preferredVersions` that matches any, else the top-ranked
// one. Null for an empty list.
const JreCandidate* PickCandidate(JreCandidateList& list, const RankingPolicy& policy,
                                  const TextList& preferredVersions);

// True when the launch goes to the pair launcher: one is configured and the
// JVM library is built for another machine than the launcher itself.
bool CheckJvmMachine(const std::u16string& jvmLibraryPath, const std::u16string& pairProduct);

}  // namespace javelin
