// Fuzzes the command-line splitting and the argument decoding: any text
// splits into pieces of itself, any bytes decode.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "config/command_line.h"
#include "fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace javelin;
  // Pairs of bytes as UTF-16 units, so that every unit can occur.
  std::u16string text;
  for (size_t i = 0; i + 1 < size; i += 2) {
    text.push_back(static_cast<char16_t>(data[i] | (data[i + 1] << 8)));
  }

  TextList tokens;
  SplitArguments(text, tokens);
  Check(tokens.size() <= text.size());
  for (const std::u16string& token : tokens) Check(text.find(token) != std::u16string::npos);
  for (const std::u16string& argument : ParseCommandLine(text)) {
    Check(text.find(argument) != std::u16string::npos);
  }

  const std::u16string decoded =
      DecodeArgumentBytes(std::string_view(reinterpret_cast<const char*>(data), size));
  Check(decoded.size() <= size);
  return 0;
}
