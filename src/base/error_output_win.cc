#include <windows.h>

#include <stdio.h>
#include <wchar.h>

#include "base/error_reporter.h"

namespace javelin {

// The C runtime's wide output on the standard output stream: characters the
// console code page cannot show are the C runtime's business, as for any
// console program.
void WriteStandardOutput(const std::u16string& text) {
  fputws(reinterpret_cast<const wchar_t*>(text.c_str()), stdout);
  fflush(stdout);
}

uint32_t LastErrorCode() { return GetLastError(); }

}  // namespace javelin
