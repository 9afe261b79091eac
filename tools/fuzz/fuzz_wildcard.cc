// Fuzzes the file-name wildcard matcher against a plain recursive reading of
// its rules, and checks the matches every pattern must have.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/wildcard.h"
#include "fuzz_check.h"
#include "fuzz_input.h"

namespace {

// '*' takes any run, '?' one unit, other units themselves; at the end of the
// name, only stars and dots may be left of the pattern.
class ReferenceMatcher {
 public:
  ReferenceMatcher(std::u16string_view pattern, std::u16string_view name)
      : pattern_(pattern), name_(name), memo_((pattern.size() + 1) * (name.size() + 1), kUnknown) {}

  bool Matches(size_t p, size_t n) {
    signed char& known = memo_[p * (name_.size() + 1) + n];
    if (known != kUnknown) return known != 0;
    bool result;
    if (n == name_.size()) {
      result = pattern_.find_first_not_of(u"*.", p) == std::u16string_view::npos;
    } else if (p == pattern_.size()) {
      result = false;
    } else if (pattern_[p] == u'*') {
      result = Matches(p + 1, n) || Matches(p, n + 1);
    } else {
      result = (pattern_[p] == u'?' || pattern_[p] == name_[n]) && Matches(p + 1, n + 1);
    }
    known = result ? 1 : 0;
    return result;
  }

 private:
  static constexpr signed char kUnknown = -1;
  std::u16string_view pattern_;
  std::u16string_view name_;
  std::vector<signed char> memo_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace javelin;
  // Pattern and name are separated by the first NUL unit.
  const std::u16string text = UnitsFromBytes(data, size);
  const size_t cut = text.find(u'\0');
  const std::u16string_view pattern = std::u16string_view(text).substr(0, cut);
  const std::u16string_view name = cut == std::u16string::npos
                                       ? std::u16string_view()
                                       : std::u16string_view(text).substr(cut + 1);

  const bool matches = MatchesWildcard(pattern, name);
  if (pattern.size() <= 200 && name.size() <= 200) {
    Check(matches == ReferenceMatcher(pattern, name).Matches(0, 0));
  }
  Check(MatchesWildcard(u"*", name));
  Check(MatchesWildcard(u"*.*", name));
  Check(HasWildcard(pattern) || MatchesWildcard(pattern, pattern));
  // Every name matches a pattern of as many '?'.
  Check(MatchesWildcard(std::u16string(name.size(), u'?'), name));
  // A star in front only widens the matches.
  if (matches) Check(MatchesWildcard(u"*" + std::u16string(pattern), name));
  return 0;
}
