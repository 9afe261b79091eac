#include "config/scoped_environment.h"

namespace javelin::test {

ScopedEnvironment::~ScopedEnvironment() {
  for (auto it = saved_.rbegin(); it != saved_.rend(); ++it) SetVariable(it->first, it->second);
}

void ScopedEnvironment::Set(const std::u16string& name,
                            const std::optional<std::u16string>& value) {
  saved_.emplace_back(name, GetVariable(name));
  SetVariable(name, value);
}

}  // namespace javelin::test
