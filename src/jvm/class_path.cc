#include "jvm/class_path.h"

#include "base/file_system.h"
#include "base/text.h"
#include "jvm/jvm_environment.h"

namespace javelin {

namespace {

bool IsTakenAsWritten(const std::u16string& entry) {
  return IsAbsolutePath(entry) && entry.find(u'*') == std::u16string::npos;
}

}  // namespace

void ResolveClassPathEntry(const std::u16string& entry, const std::u16string& launcherDirectory,
                           std::u16string& classPath) {
  std::u16string pattern;
  std::u16string directory;
  const size_t lastSeparator = entry.rfind(kPathSeparator);
  if (!IsAbsolutePath(entry)) {
    pattern = launcherDirectory + kPathSeparator + entry;
    directory = launcherDirectory;
    if (lastSeparator != std::u16string::npos && lastSeparator > 0) {
      directory += kPathSeparator + entry.substr(0, lastSeparator);
    }
  } else {
    pattern = entry;
    if (lastSeparator != std::u16string::npos) directory = entry.substr(0, lastSeparator);
  }
  // Every name the search returns counts, folders and "." and ".." included.
  FileFinder finder;
  for (bool found = finder.FindFile(pattern); found; found = finder.FindNext()) {
    classPath += directory + kPathSeparator + finder.FileName() + kSearchPathSeparator;
  }
}

std::u16string BuildClassPath(const std::u16string& value, const std::u16string& launcherDirectory) {
  TextList entries;
  SplitText(value, u";", entries);
  std::u16string classPath;
  for (const std::u16string& written : entries) {
    const std::u16string entry = ExpandEnvironment(written);
    if (IsTakenAsWritten(entry)) {
      classPath += entry + kSearchPathSeparator;
    } else {
      ResolveClassPathEntry(entry, launcherDirectory, classPath);
    }
  }
  return classPath;
}

}  // namespace javelin
