// Handing the launch over to the pair launcher.
#pragma once

#include <string>

namespace javelin {

// Starts `executable` with this process's own command line (Windows) or argv
// (POSIX). With `waitForExit` waits without a time limit and returns its exit
// code (0 when it cannot be read); otherwise returns 0 at once.
int StartPairProcess(const std::u16string& executable, bool waitForExit);

}  // namespace javelin
