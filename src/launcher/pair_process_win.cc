#include <windows.h>

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
  const BOOL started =
      CreateProcessW(reinterpret_cast<const wchar_t*>(executable.c_str()), &commandLine[0], nullptr,
                     nullptr, FALSE, 0, nullptr, nullptr, &startup, &process);
  if (!started) return 0;
  int result = 0;
  if (waitForExit) {
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD code = 0;
    if (GetExitCodeProcess(process.hProcess, &code)) result = static_cast<int>(code);
  }
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return result;
}

}  // namespace javelin
