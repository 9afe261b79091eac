#include "config/settings.h"

namespace javelin {

bool ReadSettings(Launcher&) { return false; }

}  // namespace javelin
