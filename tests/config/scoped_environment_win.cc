#include <windows.h>

#include <vector>

#include "config/scoped_environment.h"

namespace javelin::test {

namespace {
const wchar_t* W(const std::u16string& text) { return reinterpret_cast<const wchar_t*>(text.c_str()); }
}  // namespace

std::optional<std::u16string> GetVariable(const std::u16string& name) {
  const DWORD size = GetEnvironmentVariableW(W(name), nullptr, 0);
  if (size == 0) return std::nullopt;
  std::vector<wchar_t> buffer(size);
  const DWORD length = GetEnvironmentVariableW(W(name), buffer.data(), size);
  return std::u16string(reinterpret_cast<const char16_t*>(buffer.data()), length);
}

void SetVariable(const std::u16string& name, const std::optional<std::u16string>& value) {
  SetEnvironmentVariableW(W(name), value ? W(*value) : nullptr);
}

void RedirectUserSettings(ScopedEnvironment& environment, const std::u16string& directory) {
  environment.Set(u"APPDATA", directory);
}

}  // namespace javelin::test
