// Sets or removes environment variables of the test process for one scope
// and restores them afterwards.
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace javelin::test {

class ScopedEnvironment {
 public:
  ScopedEnvironment() = default;
  ~ScopedEnvironment();
  ScopedEnvironment(const ScopedEnvironment&) = delete;
  ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

  // Sets `name` to `value`, or removes it when `value` is empty (nullopt).
  void Set(const std::u16string& name, const std::optional<std::u16string>& value);

 private:
  std::vector<std::pair<std::u16string, std::optional<std::u16string>>> saved_;
};

// Points the per-user settings folder at `directory` for the scope
// (APPDATA on Windows, XDG_CONFIG_HOME elsewhere).
void RedirectUserSettings(ScopedEnvironment& environment, const std::u16string& directory);

// The platform's primitives behind ScopedEnvironment.
std::optional<std::u16string> GetVariable(const std::u16string& name);
void SetVariable(const std::u16string& name, const std::optional<std::u16string>& value);

}  // namespace javelin::test
