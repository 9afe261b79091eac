// Fuzzes the reader of a runtime's "release" file: any bytes give a value
// that is one line's piece of them, and a line put first is read back.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz_check.h"
#include "jre/release_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace javelin;
  const std::string_view content(reinterpret_cast<const char*>(data), size);
  // The first line also serves as a key of its own.
  const std::string_view firstLine = content.substr(0, content.find('\n'));
  for (std::string_view key : {std::string_view("JAVA_VERSION"), std::string_view("IMPLEMENTOR"),
                               firstLine.substr(0, firstLine.find('='))}) {
    const std::string value = ReleaseFileValue(content, key);
    Check(value.find('\n') == std::string::npos);
    if (key.empty()) Check(value.empty());
    if (!value.empty()) {
      Check(content.find(value) != std::string_view::npos);
      Check(content.find(std::string(key) + "=") != std::string_view::npos);
    }
  }

  // A line written in front of the file is the one that counts.
  std::string written(content.substr(0, content.find_first_of("\r\n\"")));
  while (!written.empty() && written.back() == ' ') written.pop_back();
  const std::string file = "JAVA_VERSION=\"" + written + "\"\r\n" + std::string(content);
  Check(ReleaseFileValue(file, "JAVA_VERSION") == written);
  return 0;
}
