// The endless sleep of a JVM thread that must never detach.
#pragma once

namespace javelin {

// Blocks the calling thread for ever; the process then ends only through
// System.exit or from outside.
[[noreturn]] void SleepForever();

}  // namespace javelin
