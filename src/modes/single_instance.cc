#include "modes/single_instance.h"

#include "launcher/launcher.h"

namespace javelin {

// Single-instance operation is not available yet: every start runs as an
// ordinary, independent instance.
bool SetupSingleInstance(Launcher& launcher) {
  launcher.singleInstance = false;
  return true;
}

int WaitForFirstInstance(Launcher&) { return 0; }

void ReleaseSingleInstance(Launcher&) {}

void CloseMainStartedEvent(Launcher&) {}

}  // namespace javelin
