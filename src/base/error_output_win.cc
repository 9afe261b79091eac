#include <windows.h>

#include <stdio.h>

#include "base/error_reporter.h"
#include "base/text.h"

namespace javelin {

namespace {

// Whether `output` is a console screen buffer (not a file, pipe or nothing).
bool IsConsole(HANDLE output) {
  DWORD mode = 0;
  return output != nullptr && output != INVALID_HANDLE_VALUE && GetConsoleMode(output, &mode) != 0;
}

}  // namespace

// The whole line, whatever characters it holds: a console receives the UTF-16
// units themselves (WriteConsoleW, independent of the console's code page);
// a file or pipe receives UTF-8 through the C runtime's stream, whose text
// mode writes the line feeds as CR LF like every other line of the program.
// The C runtime's wide output would convert to the console's code page and
// stop at the first character it cannot map.
void WriteStandardOutput(const std::u16string& text) {
  fflush(stdout);
  const HANDLE output = GetStdHandle(STD_OUTPUT_HANDLE);
  if (IsConsole(output)) {
    const wchar_t* units = reinterpret_cast<const wchar_t*>(text.data());
    size_t remaining = text.size();
    while (remaining > 0) {
      // Console writes are limited in size; a pair of surrogates stays in one piece.
      DWORD chunk = static_cast<DWORD>(remaining < 8192 ? remaining : 8192);
      if (chunk < remaining && IS_HIGH_SURROGATE(units[chunk - 1])) --chunk;
      DWORD written = 0;
      if (!WriteConsoleW(output, units, chunk, &written, nullptr) || written == 0) return;
      units += written;
      remaining -= written;
    }
    return;
  }
  const std::string bytes = ToUtf8(text);
  fwrite(bytes.data(), 1, bytes.size(), stdout);
  fflush(stdout);
}

uint32_t LastErrorCode() { return GetLastError(); }

}  // namespace javelin
