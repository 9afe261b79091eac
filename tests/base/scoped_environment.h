// Sets or removes process environment variables for one scope.
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "base/file_system.h"

namespace javelin::test {

class ScopedEnvironment {
 public:
  using Value = std::optional<std::u16string>;  // nullopt: removed
  ScopedEnvironment() = default;
  ScopedEnvironment(const ScopedEnvironment&) = delete;
  ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;
  ~ScopedEnvironment() {
    for (auto it = saved_.rbegin(); it != saved_.rend(); ++it) Apply(it->first, it->second);
  }
  void Set(const std::u16string& name, const Value& value) {
    std::u16string old;
    saved_.emplace_back(name, GetEnvironment(name, old) ? Value(old) : std::nullopt);
    Apply(name, value);
  }
  // Points the per-user settings folder (APPDATA, XDG_CONFIG_HOME) at `directory`.
  void RedirectUserSettings(const std::u16string& directory) {
    Set(kPathSeparator == u'\\' ? u"APPDATA" : u"XDG_CONFIG_HOME", directory);
  }

 private:
  static void Apply(const std::u16string& name, const Value& value) {
    value ? SetEnvironment(name, *value) : RemoveEnvironment(name);
  }
  std::vector<std::pair<std::u16string, Value>> saved_;
};

}  // namespace javelin::test
