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

}  // namespace javelin
