// Fuzzes the %NAME% expansion: a text whose references stand for
// themselves, or for nothing known, comes back unchanged, and each reference
// expanded to at most one unit makes the text shorter by at least one.
#include <cstddef>
#include <cstdint>
#include <string>

#include "base/file_system.h"
#include "fuzz_check.h"
#include "fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace javelin;
  const std::u16string text = UnitsFromBytes(data, size);

  size_t lookups = 0;
  const std::u16string unknown =
      ExpandVariables(text, [&](const std::u16string& name, std::u16string&) {
        ++lookups;
        Check(name.find(u'%') == std::u16string::npos);
        return false;
      });
  Check(unknown == text);
  Check(lookups <= text.size());

  const std::u16string itself =
      ExpandVariables(text, [](const std::u16string& name, std::u16string& value) {
        value = u"%" + name + u"%";
        return true;
      });
  Check(itself == text);

  // Names with an even first unit expand to the empty text, the others to
  // one unit each; every reference has its two percent signs.
  size_t expanded = 0;
  const std::u16string shrunk =
      ExpandVariables(text, [&](const std::u16string& name, std::u16string& value) {
        if (name.empty() || name[0] % 2 == 0) {
          value.clear();
        } else {
          value = u"v";
        }
        ++expanded;
        return true;
      });
  Check(shrunk.size() + expanded <= text.size());
  if (text.find(u'%') == std::u16string::npos) Check(shrunk == text && expanded == 0);
  return 0;
}
