#include "config/command_line.h"

namespace javelin {

void ReadCommandLine(Launcher&) {}

}  // namespace javelin
