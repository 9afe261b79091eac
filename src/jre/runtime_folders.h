// Runtimes found as folders: every subfolder of a root is one candidate that
// describes itself (its "release" file, its compiler), filtered and ranked by
// the same rules as the registered runtimes. The installed-runtimes source on
// POSIX and the well-known folders on every platform use it.
#pragma once

#include <optional>
#include <string>

#include "base/text.h"
#include "jre/installed_runtimes.h"

namespace javelin {

// What one runtime folder says about itself.
struct RuntimeFolder {
  std::u16string home;  // ends in the separator; the "jre" folder of a JDK 8
  VersionNumber version;
  JavaKind kind = JavaKind::kJre;
  JavaVendor vendor = JavaVendor::kSun;
};

// Describes the runtime in `folder`: the version from the "release" file's
// JAVA_VERSION (else from the folder name, fill 0), a JDK when it has the
// compiler, the vendor from IMPLEMENTOR. False when `folder` is no folder.
bool ReadRuntimeFolder(const std::u16string& folder, RuntimeFolder& runtime);

// Appends the admissible runtimes below `root`, in name order. With
// `ownMachineOnly`, a runtime whose JVM library is built for another
// processor than the launcher's is passed over.
void CollectFolderCandidates(const RuntimeRequirements& runtime, const std::u16string& root,
                             JreCandidateList& list, bool ownMachineOnly = false);

// Searches every root and picks one runtime.
std::optional<InstalledRuntime> FindInRuntimeFolders(const RuntimeRequirements& runtime,
                                                     const TextList& roots,
                                                     bool ownMachineOnly = false);

}  // namespace javelin
