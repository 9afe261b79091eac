#include "jre/jre_locator.h"

namespace javelin {

bool FindInstalledRuntime(Launcher&, bool, std::u16string&, VersionNumber&) { return false; }

}  // namespace javelin
