// The installed-runtimes source on Linux and other POSIX systems: the Java
// installation folders. Every subfolder of a root is one candidate. The
// roots are a parameter so that tests can point the search at folders of
// their own.
#pragma once

#include <optional>
#include <string>

#include "base/text.h"
#include "jre/installed_runtimes.h"

namespace javelin {

// /usr/lib/jvm, /usr/java, /opt/java, /usr/local/java (and the system's
// Java folder on macOS), in this order.
TextList DefaultRuntimeFolders();

// What one runtime folder says about itself.
struct RuntimeFolder {
  std::u16string home;  // ends in '/'; the "jre/" folder of a JDK 8
  VersionNumber version;
  JavaKind kind = JavaKind::kJre;
  JavaVendor vendor = JavaVendor::kSun;
};

// Describes the runtime in `folder`: the version from the "release" file's
// JAVA_VERSION (else from the folder name, fill 0), a JDK when bin/javac
// exists, the vendor from IMPLEMENTOR. False when `folder` is no folder.
bool ReadRuntimeFolder(const std::u16string& folder, RuntimeFolder& runtime);

// Appends the admissible runtimes below `root`, in name order.
void CollectFolderCandidates(const RuntimeRequirements& runtime, const std::u16string& root,
                             JreCandidateList& list);

// Searches every root and picks one runtime.
std::optional<InstalledRuntime> FindInRuntimeFolders(const RuntimeRequirements& runtime,
                                                     const TextList& roots);

}  // namespace javelin
