#include <errno.h>
#include <time.h>
#include <unistd.h>

#include "jvm/thread_wait.h"

namespace javelin {

void SleepForever() {
  for (;;) pause();
}

void SleepMilliseconds(uint32_t milliseconds) {
  timespec delay{static_cast<time_t>(milliseconds / 1000),
                 static_cast<long>(milliseconds % 1000) * 1000000L};
  // A signal cuts the nap short; the rest is slept.
  while (nanosleep(&delay, &delay) != 0 && errno == EINTR) {
  }
}

}  // namespace javelin
