// The two platform waits of the JVM thread: the main-started signal for the
// single-instance workers and the endless sleep after main.
#pragma once

namespace javelin {

// Sets the single-instance main-started event (a manual-reset event).
void SignalMainStartedEvent(void* event);

// Blocks the calling thread for ever; the process then ends only through
// System.exit or from outside.
[[noreturn]] void SleepForever();

}  // namespace javelin
