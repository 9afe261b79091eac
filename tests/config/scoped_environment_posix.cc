#include <stdlib.h>

#include "base/text.h"
#include "config/scoped_environment.h"

namespace javelin::test {

std::optional<std::u16string> GetVariable(const std::u16string& name) {
  const char* value = getenv(ToUtf8(name).c_str());
  if (value == nullptr) return std::nullopt;
  return FromUtf8(value);
}

void SetVariable(const std::u16string& name, const std::optional<std::u16string>& value) {
  if (value) {
    setenv(ToUtf8(name).c_str(), ToUtf8(*value).c_str(), 1);
  } else {
    unsetenv(ToUtf8(name).c_str());
  }
}

void RedirectUserSettings(ScopedEnvironment& environment, const std::u16string& directory) {
  environment.Set(u"XDG_CONFIG_HOME", directory);
}

}  // namespace javelin::test
