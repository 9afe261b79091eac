// The platform-independent part of the path and file operations: the text
// rules of both path styles and the %NAME% expansion.
#include "base/file_system.h"

namespace javelin {

namespace {

bool IsWindowsStyle(PathStyle style) {
  return (style == PathStyle::kNative ? kHostPathStyle : style) == PathStyle::kWindows;
}

constexpr std::u16string_view kLongPrefix = u"\\\\?\\";
constexpr std::u16string_view kLongUncPrefix = u"\\\\?\\UNC\\";

// A "\\server\share" path; a "\\?\" path counts only in its "\\?\UNC\" form.
bool IsWindowsUncText(const std::u16string& path) {
  if (StartsWith(path, kLongPrefix)) return StartsWith(path, kLongUncPrefix);
  return StartsWith(path, u"\\\\");
}

}  // namespace

bool IsAbsolutePath(const std::u16string& path, PathStyle style) {
  if (!IsWindowsStyle(style)) return !path.empty() && path[0] == u'/';
  return path.size() >= 2 && ((path[0] == u'\\' && path[1] == u'\\') || path[1] == u':');
}

TextList SplitPathComponents(const std::u16string& path, PathStyle style) {
  const bool windows = IsWindowsStyle(style);
  const std::u16string separator = windows ? u"\\" : u"/";
  std::u16string prefix;
  if (windows && StartsWith(path, kLongUncPrefix)) {
    prefix = kLongUncPrefix;
  } else if (windows && StartsWith(path, kLongPrefix)) {
    prefix = kLongPrefix;
  }
  const std::u16string working = path.substr(prefix.size());
  // A UNC root is "\\server"; any other root runs up to the first separator
  // ("C:" for a drive path, the empty text for "/a").
  const size_t rootEnd = working.find(separator, windows && IsWindowsUncText(working) ? 2 : 0);
  if (rootEnd == std::u16string::npos) return {prefix + working};
  TextList components;
  SplitText(working.substr(rootEnd + 1), separator, components);
  components.insert(components.begin(), prefix + working.substr(0, rootEnd));
  return components;
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
