// Publishes the chosen runtime to the process environment and builds the
// java.library.path option.
#pragma once

namespace javelin {

class Launcher;

void PrepareJvmEnvironment(Launcher& launcher);

}  // namespace javelin
