#include "base/file_system.h"

namespace javelin {

void SplitText(const std::u16string& text, const std::u16string& delimiter, TextList& pieces) {
  pieces.clear();
  if (text.empty()) return;
  size_t position = 0;
  bool found = false;
  while (true) {
    size_t at = delimiter.empty() ? std::u16string::npos : text.find(delimiter, position);
    if (at == std::u16string::npos) break;
    found = true;
    pieces.push_back(text.substr(position, at - position));
    position = at + delimiter.size();
    if (position >= text.size()) return;
  }
  pieces.push_back(found ? text.substr(position) : text);
}

std::u16string ExpandVariables(const std::u16string& text, const VariableLookup& lookup) {
  std::u16string result;
  size_t position = 0;
  while (position < text.size()) {
    const size_t open = text.find(u'%', position);
    if (open == std::u16string::npos) break;
    result.append(text, position, open - position);
    const size_t close = text.find(u'%', open + 1);
    if (close == std::u16string::npos) {
      position = open;
      break;
    }
    std::u16string value;
    if (lookup(text.substr(open + 1, close - open - 1), value)) {
      result += value;
      position = close + 1;
    } else {
      // Not a variable: keep the '%' and the text, and let the closing '%'
      // open the next reference.
      result.append(text, open, close - open);
      position = close;
    }
  }
  result.append(text, position, std::u16string::npos);
  return result;
}

}  // namespace javelin
