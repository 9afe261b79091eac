#include "jvm/jvm_environment.h"

#include <gtest/gtest.h>

#include "base/file_system.h"
#include "jre/runtime_layout.h"
#include "support/test_support.h"

// Publishing the runtime and the search paths are shown end to end with both
// JVMs (tests/e2e).

namespace javelin {
namespace {

using test::JoinPath;

TEST(JvmEnvironment, EveryLibraryLayoutLeadsBackToItsJavaHome) {
  const std::u16string home = JoinPath(u"", u"/opt/jdk");
  for (JvmFlavor flavor : {JvmFlavor::kClient, JvmFlavor::kServer, JvmFlavor::kClassic,
                           JvmFlavor::kHotspot, JvmFlavor::kJRockit}) {
    for (const std::u16string& relative : JvmLibraryPaths(flavor)) {
      EXPECT_EQ(JavaHomeOfLibrary(JoinPath(home, relative)), home) << ToUtf8(relative);
      EXPECT_EQ(RuntimeBinDirectory(JoinPath(home, relative)), JoinPath(home, u"bin")) << ToUtf8(relative);
    }
  }
}

}  // namespace
}  // namespace javelin
