#include <windows.h>

#include "jvm/thread_wait.h"

namespace javelin {

void SignalMainStartedEvent(void* event) { SetEvent(static_cast<HANDLE>(event)); }

void SleepForever() {
  for (;;) Sleep(INFINITE);
}

}  // namespace javelin
