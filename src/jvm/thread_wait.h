// The endless sleep of the JVM thread after main.
#pragma once

namespace javelin {

// Blocks the calling thread for ever; the process then ends only through
// System.exit or from outside.
[[noreturn]] void SleepForever();

}  // namespace javelin
