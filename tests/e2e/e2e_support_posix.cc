#include <stdlib.h>

#include "e2e/e2e_support.h"
#include "support/test_support.h"

namespace javelin::test {

std::u16string JvmLibraryInHome(const std::u16string& home) {
  return JoinPath(home, u"lib/server/libjvm.so");
}

std::u16string RuntimeMarkerInHome() { return u"lib/libjava.so"; }

bool RealJvmAvailable() {
  return !JavaClassesDir().empty() && FileExists(JvmLibraryInHome(JdkHome()));
}

void SetProcessEnvironment(const std::u16string& name, const std::optional<std::u16string>& value) {
  if (value) {
    setenv(ToUtf8(name).c_str(), ToUtf8(*value).c_str(), 1);
  } else {
    unsetenv(ToUtf8(name).c_str());
  }
}

}  // namespace javelin::test
