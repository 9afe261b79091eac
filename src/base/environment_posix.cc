// Process environment on POSIX: getenv/setenv with UTF-8 names and values,
// and the %NAME% expansion done by ExpandVariables.
#include <stdlib.h>

#include "base/file_system.h"

namespace javelin {

namespace {

// Names that getenv and setenv cannot take are never set.
bool IsVariableName(const std::u16string& name) {
  return !name.empty() && name.find_first_of(std::u16string(u"=\0", 2)) == std::u16string::npos;
}

}  // namespace

bool GetEnvironment(const std::u16string& name, std::u16string& value) {
  if (!IsVariableName(name)) return false;
  const char* found = getenv(ToUtf8(name).c_str());
  if (found == nullptr) return false;
  value = FromUtf8(found);
  return true;
}

bool SetEnvironment(const std::u16string& name, const std::u16string& value) {
  if (!IsVariableName(name)) return false;
  return setenv(ToUtf8(name).c_str(), ToUtf8(value).c_str(), 1) == 0;
}

bool RemoveEnvironment(const std::u16string& name) {
  if (!IsVariableName(name)) return false;
  return unsetenv(ToUtf8(name).c_str()) == 0;
}

std::u16string ExpandEnvironment(const std::u16string& text) {
  return ExpandVariables(text, GetEnvironment);
}

}  // namespace javelin
