#include "config/ini_paths.h"

namespace javelin {

bool GetIniPath(std::u16string&) { return false; }
std::u16string GetUserIniPath(const Launcher&, const std::u16string&, bool) { return {}; }
bool GetPairIniPath(const Launcher&, std::u16string&) { return false; }

}  // namespace javelin
