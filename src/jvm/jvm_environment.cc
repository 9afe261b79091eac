#include "jvm/jvm_environment.h"

#include "base/file_system.h"
#include "base/text.h"

namespace javelin {

namespace {

const char16_t kLibraryPathOption[] = u"-Djava.library.path=";

std::u16string SearchPathReference() { return u"%" + std::u16string(kSearchPathVariable) + u"%"; }

// The launcher's directory including its trailing separator; empty when the
// module path is unknown.
std::u16string LauncherDirectoryWithSeparator(const std::u16string& modulePath) {
  const size_t last = modulePath.rfind(kPathSeparator);
  return last == std::u16string::npos ? std::u16string() : modulePath.substr(0, last + 1);
}

// A list as the configuration writes it (';') in the platform's form.
std::u16string ToSearchPathList(const std::u16string& list) {
  return ReplaceAll(list, u';', kSearchPathSeparator);
}

// The value of java.library.path before expansion: the configured value, the
// launcher directory (with its trailing separator), ".", the old search path
// and the runtime's lib folder. The configured value and the old search path
// are taken as they end: no separator is added after them.
std::u16string BuildLibraryPath(const std::u16string& libraryPath,
                                const std::u16string& launcherDirectory,
                                const std::u16string& javaHome) {
  std::u16string result = ToSearchPathList(libraryPath);
  result += launcherDirectory;
  result += kSearchPathSeparator;
  result += u'.';
  result += kSearchPathSeparator;
  result += SearchPathReference();
  result += javaHome + kPathSeparator + u"lib";
  return result;
}

// The new search path before expansion: the configured "System Path" (with
// one separator after it), the old search path, the runtime's bin folder.
std::u16string BuildSystemPath(const std::u16string& systemPath,
                               const std::u16string& runtimeBinDirectory) {
  std::u16string result = ToSearchPathList(systemPath);
  if (!result.empty() && result.back() != kSearchPathSeparator) result += kSearchPathSeparator;
  result += SearchPathReference();
  result += kSearchPathSeparator;
  result += runtimeBinDirectory;
  return result;
}

}  // namespace

std::u16string PrepareJvmEnvironment(const std::u16string& jvmLibraryPath, const RunOptions& run,
                                     const std::u16string& modulePath) {
  const std::u16string javaHome = JavaHomeOfLibrary(jvmLibraryPath);
  SetEnvironment(u"KV_JVM_PATH", jvmLibraryPath);
  SetEnvironment(u"KV_JVM_HOME", javaHome);

  // Built before the search path changes, so that its reference to the
  // search path takes the old value.
  std::u16string libraryPathOption;
  if (!run.libraryPath.empty()) {
    libraryPathOption = kLibraryPathOption +
                        ExpandEnvironment(BuildLibraryPath(
                            run.libraryPath, LauncherDirectoryWithSeparator(modulePath), javaHome));
  }

  SetEnvironment(kSearchPathVariable, ExpandEnvironment(BuildSystemPath(
                                          run.systemPath, RuntimeBinDirectory(jvmLibraryPath))));
  return libraryPathOption;
}

}  // namespace javelin
