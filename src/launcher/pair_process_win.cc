#include <windows.h>

#include "base/win_support.h"
#include "launcher/pair_process.h"

namespace javelin {

int StartPairProcess(const std::u16string& executable, bool waitForExit) {
  // CreateProcessW may write into the command line buffer: pass a copy.
  std::wstring commandLine = GetCommandLineW();
  STARTUPINFOW startup;
  ZeroMemory(&startup, sizeof(startup));
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process;
  ZeroMemory(&process, sizeof(process));
  const BOOL started = CreateProcessW(W(executable), &commandLine[0], nullptr, nullptr, FALSE, 0,
                                      nullptr, nullptr, &startup, &process);
  if (!started) return 0;
  const ScopedKernelHandle thread(process.hThread);
  const ScopedKernelHandle child(process.hProcess);
  int result = 0;
  if (waitForExit) {
    WaitForSingleObject(child.get(), INFINITE);
    DWORD code = 0;
    if (GetExitCodeProcess(child.get(), &code)) result = static_cast<int>(code);
  }
  return result;
}

}  // namespace javelin
