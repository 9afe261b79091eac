// Process environment on Windows: the kernel's environment functions.
#include <windows.h>

#include <vector>

#include "base/file_system.h"
#include "base/win_support.h"

namespace javelin {

bool GetEnvironment(const std::u16string& name, std::u16string& value) {
  std::vector<wchar_t> buffer(256);
  while (true) {
    // 0 is both "not set" and "set to the empty text"; the last error tells.
    SetLastError(ERROR_SUCCESS);
    const DWORD length =
        GetEnvironmentVariableW(W(name), buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0) {
      if (GetLastError() == ERROR_ENVVAR_NOT_FOUND) return false;
      value.clear();
      return true;
    }
    if (length < buffer.size()) {
      value.assign(reinterpret_cast<const char16_t*>(buffer.data()), length);
      return true;
    }
    buffer.resize(length);  // the size needed, terminator included
  }
}

bool SetEnvironment(const std::u16string& name, const std::u16string& value) {
  return SetEnvironmentVariableW(W(name), W(value)) != 0;
}

bool RemoveEnvironment(const std::u16string& name) {
  return SetEnvironmentVariableW(W(name), nullptr) != 0;
}

// The function handles at most 32K characters on either side. When the
// expansion fails, or the text or its result do not fit (some versions then
// return a cut result instead of failing), the text stays as written: an
// unexpanded reference is more use to the caller than an empty or cut value.
std::u16string ExpandEnvironment(const std::u16string& text) {
  constexpr size_t kLimit = 32767;  // characters, terminator included
  if (text.size() >= kLimit || text.find(u'%') == std::u16string::npos) return text;
  DWORD size = ExpandEnvironmentStringsW(W(text), nullptr, 0);
  while (size != 0 && size <= kLimit) {
    std::vector<wchar_t> buffer(size);
    const DWORD needed = ExpandEnvironmentStringsW(W(text), buffer.data(), size);
    if (needed == 0) break;
    // A variable may have grown between the two calls; then ask again.
    if (needed <= size) {
      const std::u16string expanded(reinterpret_cast<const char16_t*>(buffer.data()));
      if (expanded.size() + 1 != needed) break;  // cut short
      return expanded;
    }
    size = needed;
  }
  return text;
}

}  // namespace javelin
