#include <windows.h>

#include "config/command_line.h"

namespace javelin {

bool IsCommandLineWhiteSpace(char16_t c) {
  // The C runtime's wide white-space class below U+0100, Windows' own
  // character classification above.
  if (c <= 0xFF) {
    return (c >= 0x09 && c <= 0x0D) || c == 0x20 || c == 0x85 || c == 0xA0;
  }
  const wchar_t character = static_cast<wchar_t>(c);
  WORD type = 0;
  return GetStringTypeW(CT_CTYPE1, &character, 1, &type) && (type & C1_SPACE) != 0;
}

TextList ReadCommandLine() {
  return ParseCommandLine(reinterpret_cast<const char16_t*>(GetCommandLineW()));
}

}  // namespace javelin
