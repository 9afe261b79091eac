#include <windows.h>

#include <cstdint>

#include "base/win_support.h"
#include "launcher/jvm_thread.h"

namespace javelin {

namespace {

struct ThreadCall {
  uint32_t (*procedure)(void*);
  void* argument;
};

DWORD WINAPI ThreadEntry(LPVOID data) {
  ThreadCall* call = static_cast<ThreadCall*>(data);
  return call->procedure(call->argument);
}

}  // namespace

bool RunOnNewThread(uint32_t stackSize, uint32_t (*procedure)(void*), void* argument,
                    uint32_t& exitCode) {
  ThreadCall call{procedure, argument};
  const ScopedKernelHandle thread(CreateThread(nullptr, stackSize, ThreadEntry, &call, 0, nullptr));
  if (!thread) return false;
  WaitForSingleObject(thread.get(), INFINITE);
  DWORD code = 1;
  GetExitCodeThread(thread.get(), &code);
  exitCode = code;
  return true;
}

}  // namespace javelin
