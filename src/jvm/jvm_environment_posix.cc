#include "jvm/jvm_environment.h"

#include "base/file_system.h"

namespace javelin {

// The configuration lists entries with ';' as on Windows. Here the class
// path and java.library.path join them with ':' (every class-path entry is
// followed by ':', as it is by ';' on Windows), and the search path is PATH,
// which settings refer to as %PATH%.
const char16_t kSearchPathSeparator = u':';
const char16_t kSearchPathVariable[] = u"PATH";

namespace {

// Cuts at the last '/'; a text without one stays whole.
std::u16string CutLastComponent(const std::u16string& path) {
  const size_t last = path.rfind(kPathSeparator);
  return last == std::u16string::npos ? path : path.substr(0, last);
}

std::u16string LastComponent(const std::u16string& path) {
  const size_t last = path.rfind(kPathSeparator);
  return last == std::u16string::npos ? path : path.substr(last + 1);
}

}  // namespace

std::u16string JavaHomeOfLibrary(const std::u16string& jvmLibraryPath) {
  // home/lib/server/libjvm.so, or home/lib/amd64/server/libjvm.so in
  // runtimes up to Java 8.
  const std::u16string folder = CutLastComponent(CutLastComponent(jvmLibraryPath));
  if (LastComponent(folder) == u"lib") return CutLastComponent(folder);
  return CutLastComponent(CutLastComponent(folder));
}

std::u16string RuntimeBinDirectory(const std::u16string& jvmLibraryPath) {
  // Native libraries are found through the library's own run path here, so
  // the search path gets the runtime's programs instead.
  return JavaHomeOfLibrary(jvmLibraryPath) + kPathSeparator + u"bin";
}

}  // namespace javelin
