#include "base/wildcard.h"

namespace javelin {

bool MatchesWildcard(std::u16string_view pattern, std::u16string_view name) {
  constexpr size_t kNone = std::u16string_view::npos;
  size_t p = 0;
  size_t n = 0;
  // After a '*': where the pattern continues, and the name position from
  // which the star's run was last tried; a mismatch lets the star take one
  // more character and tries again.
  size_t afterStar = kNone;
  size_t starRunEnd = 0;
  while (n < name.size()) {
    if (p < pattern.size() && pattern[p] == u'*') {
      afterStar = ++p;
      starRunEnd = n;
    } else if (p < pattern.size() && (pattern[p] == u'?' || pattern[p] == name[n])) {
      ++p;
      ++n;
    } else if (afterStar != kNone) {
      p = afterStar;
      n = ++starRunEnd;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && (pattern[p] == u'*' || pattern[p] == u'.')) ++p;
  return p == pattern.size();
}

bool HasWildcard(std::u16string_view text) {
  return text.find_first_of(u"*?") != std::u16string_view::npos;
}

}  // namespace javelin
