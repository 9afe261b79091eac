#include "jre/jre_locator.h"

namespace javelin {

bool FindJre(Launcher&) { return false; }
bool FindInApplicationFolder(std::u16string&) { return false; }
bool FindInJavaHome(std::u16string&) { return false; }

}  // namespace javelin
