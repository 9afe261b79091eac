#include "jre/jvm_library.h"

namespace javelin {

bool PathExists(const std::u16string&) { return false; }
std::u16string SelectJvmLibrary(const std::u16string&, int32_t, bool* isServerVm) { if (isServerVm) *isServerVm = false; return {}; }
void RankCandidates(JreCandidateList&, const Launcher&) {}
bool PickCandidate(JreCandidateList&, const Launcher&, VersionNumber&, std::u16string&) { return false; }
void CheckJvmMachine(Launcher&) {}

}  // namespace javelin
