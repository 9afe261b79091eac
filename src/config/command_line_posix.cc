#include "config/command_line.h"

namespace javelin {

bool IsCommandLineWhiteSpace(char16_t c) {
  // The same classes as on Windows: the C runtime's below U+0100, and the
  // characters that Windows classifies as spaces above.
  if (c <= 0xFF) {
    return (c >= 0x09 && c <= 0x0D) || c == 0x20 || c == 0x85 || c == 0xA0;
  }
  return c == 0x1680 || (c >= 0x2000 && c <= 0x200A) || c == 0x2028 || c == 0x2029 || c == 0x202F ||
         c == 0x205F || c == 0x3000;
}

TextList ReadCommandLine() {
  // The shell has already split the arguments; they are taken as they are.
  TextList arguments;
  char** argv = RecordedArguments();
  for (int i = 1; argv != nullptr && i < RecordedArgumentCount(); ++i) {
    arguments.push_back(DecodeArgumentBytes(argv[i]));
  }
  return arguments;
}

}  // namespace javelin
