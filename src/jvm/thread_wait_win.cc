#include <windows.h>

#include "jvm/thread_wait.h"

namespace javelin {

void SleepForever() {
  for (;;) Sleep(INFINITE);
}

}  // namespace javelin
