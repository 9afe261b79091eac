#include <windows.h>

#include "e2e/e2e_support.h"
#include "support/test_support.h"

namespace javelin::test {

std::u16string JvmLibraryInHome(const std::u16string& home) {
  return JoinPath(home, u"bin/server/jvm.dll");
}

std::u16string RuntimeMarkerInHome() { return u"bin/java.dll"; }

// Wine runs no Linux JVM.
bool RealJvmAvailable() { return false; }

void SetProcessEnvironment(const std::u16string& name, const std::optional<std::u16string>& value) {
  SetEnvironmentVariableW(reinterpret_cast<const wchar_t*>(name.c_str()),
                          value ? reinterpret_cast<const wchar_t*>(value->c_str()) : nullptr);
}

}  // namespace javelin::test
