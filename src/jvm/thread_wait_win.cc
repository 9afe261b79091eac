#include <windows.h>

#include "jvm/thread_wait.h"

namespace javelin {

void SleepForever() {
  for (;;) Sleep(INFINITE);
}

void SleepMilliseconds(uint32_t milliseconds) { Sleep(milliseconds); }

}  // namespace javelin
