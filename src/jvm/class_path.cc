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
                           TextList& entries) {
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
    entries.push_back(directory + kPathSeparator + finder.FileName());
  }
}

std::u16string BuildClassPath(const std::u16string& value,
                              const std::u16string& launcherDirectory) {
  const size_t start = value.find_first_not_of(u' ');
  TextList written;
  if (start != std::u16string::npos) SplitText(value.substr(start), u";", written);
  TextList entries;
  for (const std::u16string& item : written) {
    const std::u16string entry = ExpandEnvironment(item);
    if (IsTakenAsWritten(entry)) {
      entries.push_back(entry);
    } else {
      ResolveClassPathEntry(entry, launcherDirectory, entries);
    }
  }
  std::u16string classPath;
  for (const std::u16string& entry : entries) {
    if (entry.empty()) continue;
    if (!classPath.empty()) classPath += kSearchPathSeparator;
    classPath += entry;
  }
  return classPath;
}

}  // namespace javelin
