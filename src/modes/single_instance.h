// Single-instance mode: one running instance per executable; further starts
// forward their arguments to the first instance's secondaryMain.
#pragma once

namespace javelin {

class Launcher;

// Reads "Application Type" and "Single Instance" and fixes this process's
// role. False when the launch cannot go on.
bool SetupSingleInstance(Launcher& launcher);
// A second instance's wait for the first instance's reply; the exit code.
int WaitForFirstInstance(Launcher& launcher);
// Stops the listener and releases the shared objects (Launcher teardown).
void ReleaseSingleInstance(Launcher& launcher);
// Closes the main-started event, when one was created.
void CloseMainStartedEvent(Launcher& launcher);

}  // namespace javelin
