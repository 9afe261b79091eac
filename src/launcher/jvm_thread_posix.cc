#include <limits.h>
#include <pthread.h>
#include <unistd.h>

#include <cstdint>

#include "launcher/jvm_thread.h"

namespace javelin {

namespace {

struct ThreadCall {
  uint32_t (*procedure)(void*);
  void* argument;
  uint32_t result;
};

void* ThreadEntry(void* data) {
  ThreadCall* call = static_cast<ThreadCall*>(data);
  call->result = call->procedure(call->argument);
  return nullptr;
}

}  // namespace

bool RunOnNewThread(uint32_t stackSize, uint32_t (*procedure)(void*), void* argument,
                    uint32_t& exitCode) {
  pthread_attr_t attributes;
  if (pthread_attr_init(&attributes) != 0) return false;
  if (stackSize != 0) {
    // Like Windows, which rounds a small request up, never ask for less
    // than the system's minimum; sizes are whole pages.
    size_t size = stackSize;
    if (size < static_cast<size_t>(PTHREAD_STACK_MIN)) size = PTHREAD_STACK_MIN;
    const long page = sysconf(_SC_PAGESIZE);
    if (page > 0) size = (size + static_cast<size_t>(page) - 1) / page * page;
    pthread_attr_setstacksize(&attributes, size);
  }
  ThreadCall call{procedure, argument, 1};
  pthread_t thread;
  const int created = pthread_create(&thread, &attributes, ThreadEntry, &call);
  pthread_attr_destroy(&attributes);
  if (created != 0) return false;
  pthread_join(thread, nullptr);
  exitCode = call.result;
  return true;
}

}  // namespace javelin
