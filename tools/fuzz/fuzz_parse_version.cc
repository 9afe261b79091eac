// Fuzzes the version parser: any text parses or fails cleanly, and a parsed
// version written out with all four components parses to itself.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "base/text.h"
#include "config/version.h"
#include "fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace javelin;
  const std::u16string text = FromUtf8(std::string_view(reinterpret_cast<const char*>(data), size));
  for (int32_t fill : {0, 65535}) {
    bool ok = true;
    const VersionNumber version = ParseVersion(text, fill, &ok);
    if (!ok) {
      for (int32_t component : version.components) Check(component == 0);
      continue;
    }
    for (int32_t component : version.components) Check(component >= 0);
    Check(CompareVersions(version, version) == 0);
    std::u16string written;
    for (int32_t component : version.components) {
      if (!written.empty()) written.push_back(u'.');
      written += ToDecimal(component);
    }
    bool again = false;
    const VersionNumber reparsed = ParseVersion(written, fill, &again);
    Check(again && CompareVersions(reparsed, version) == 0);
  }
  return 0;
}
