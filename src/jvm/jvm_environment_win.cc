#include "jvm/jvm_environment.h"

#include "base/file_system.h"

namespace javelin {

const char16_t kSearchPathSeparator = u';';
const char16_t kSearchPathVariable[] = u"Path";

namespace {

// Cuts at the last backslash; a text without one stays whole.
std::u16string CutLastComponent(const std::u16string& path) {
  const size_t last = path.rfind(kPathSeparator);
  return last == std::u16string::npos ? path : path.substr(0, last);
}

}  // namespace

std::u16string JavaHomeOfLibrary(const std::u16string& jvmLibraryPath) {
  return CutLastComponent(CutLastComponent(CutLastComponent(jvmLibraryPath)));
}

std::u16string RuntimeBinDirectory(const std::u16string& jvmLibraryPath) {
  return CutLastComponent(CutLastComponent(jvmLibraryPath));
}

}  // namespace javelin
