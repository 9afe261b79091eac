#include <windows.h>

#include <cstdint>

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
  HANDLE thread = CreateThread(nullptr, stackSize, ThreadEntry, &call, 0, nullptr);
  if (thread == nullptr) return false;
  WaitForSingleObject(thread, INFINITE);
  DWORD code = 1;
  GetExitCodeThread(thread, &code);
  CloseHandle(thread);
  exitCode = code;
  return true;
}

}  // namespace javelin
