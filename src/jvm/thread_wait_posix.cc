#include <unistd.h>

#include "jvm/thread_wait.h"

namespace javelin {

// The POSIX single-instance code owns the main-started event object behind
// this pointer and will set it here; until then nothing waits for it.
void SignalMainStartedEvent(void*) {}

void SleepForever() {
  for (;;) pause();
}

}  // namespace javelin
