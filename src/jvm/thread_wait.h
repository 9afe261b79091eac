// Sleeping on the calling thread: the endless sleep of a JVM thread that
// must never detach, and the short naps of a bounded wait.
#pragma once

#include <cstdint>

namespace javelin {

// Blocks the calling thread for ever; the process then ends only through
// System.exit or from outside.
[[noreturn]] void SleepForever();

// Blocks the calling thread for about `milliseconds`.
void SleepMilliseconds(uint32_t milliseconds);

}  // namespace javelin
