#include <unistd.h>

#include "jvm/thread_wait.h"

namespace javelin {

void SleepForever() {
  for (;;) pause();
}

}  // namespace javelin
