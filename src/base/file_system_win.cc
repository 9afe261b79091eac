// Path and file operations on Windows, with the long-path prefixes "\\?\"
// and "\\?\UNC\" for paths beyond the classic 259-character limit.
#include <windows.h>
#include <shlwapi.h>

#include <vector>

#include "base/file_system.h"
#include "base/text.h"
#include "base/win_support.h"

namespace javelin {

const char16_t kPathSeparator = u'\\';
const PathStyle kHostPathStyle = PathStyle::kWindows;

namespace {

constexpr size_t kLongPathLength = 260;  // from here on a path needs a prefix
constexpr size_t kMaximumPathLength = 32767;
const std::u16string kLongPrefix = u"\\\\?\\";
const std::u16string kLongUncPrefix = u"\\\\?\\UNC\\";

// PathIsUNCW, but a "\\?\" path only counts when it is the "\\?\UNC\" form
// (some shell versions accept every "\\?\" path).
bool IsUncPath(const std::u16string& path) {
  if (StartsWith(path, kLongPrefix)) return StartsWith(path, kLongUncPrefix);
  return PathIsUNCW(W(path)) != FALSE;
}

// The pattern as FindFirstFileW must see it: from 260 characters on with the
// long-path prefix, the UNC form for "\\server\share" patterns.
std::u16string WithLongPathPrefix(const std::u16string& pattern) {
  if (pattern.size() < kLongPathLength || pattern.size() >= kMaximumPathLength) return pattern;
  if (StartsWith(pattern, kLongPrefix)) return pattern;
  if (IsUncPath(pattern)) return kLongUncPrefix + pattern.substr(2);
  return kLongPrefix + pattern;
}

}  // namespace

bool PathExists(const std::u16string& path) {
  WIN32_FIND_DATAW data;
  return static_cast<bool>(ScopedFindHandle(FindFirstFileW(W(path), &data)));
}

bool AbsolutePathExists(const std::u16string& path) {
  return IsAbsolutePath(path) && PathExists(path);
}

uint32_t CreateParentDirectories(const std::u16string& path) {
  if (AbsolutePathExists(path)) return 0;
  const bool unc = IsUncPath(path);
  const TextList components = SplitPathComponents(path);
  if (components.size() < 3) return 0;
  std::u16string directory = components.front();
  std::vector<std::u16string> created;
  DWORD lastFailure = 0;
  for (size_t i = 1; i + 1 < components.size(); ++i) {
    directory += u'\\';
    directory += components[i];
    if (CreateDirectoryW(W(directory), nullptr)) {
      created.push_back(directory);
      continue;
    }
    lastFailure = GetLastError();
    // The server and share levels of a UNC path cannot be created; go on.
    if (lastFailure == ERROR_ALREADY_EXISTS || unc) continue;
    while (!created.empty()) {
      RemoveDirectoryLong(created.back());
      created.pop_back();
    }
    break;
  }
  return lastFailure == ERROR_ALREADY_EXISTS ? 0 : lastFailure;
}

bool RemoveDirectoryLong(const std::u16string& path) {
  const std::u16string target =
      path.size() >= kLongPathLength && !StartsWith(path, kLongPrefix) ? kLongPrefix + path : path;
  return RemoveDirectoryW(W(target)) != FALSE;
}

struct FileFinder::State {
  ScopedFindHandle search;
  WIN32_FIND_DATAW data{};
  bool found = false;
  std::u16string root;
};

FileFinder::FileFinder() : state_(new State) {}

FileFinder::~FileFinder() { Close(); }

bool FileFinder::FindFile(const std::u16string& pattern) {
  Close();
  state_->root.clear();
  const std::u16string searched = WithLongPathPrefix(pattern);
  state_->search.Reset(FindFirstFileW(W(searched), &state_->data));
  if (!state_->search) return false;

  const DWORD size = GetFullPathNameW(W(searched), 0, nullptr, nullptr);
  std::vector<wchar_t> fullPath(size + 1);
  const DWORD length =
      size == 0 ? 0 : GetFullPathNameW(W(searched), size + 1, fullPath.data(), nullptr);
  if (length == 0 || length > size) {
    Close();
    SetLastError(ERROR_INVALID_NAME);
    return false;
  }
  const std::u16string full(reinterpret_cast<const char16_t*>(fullPath.data()), length);
  const size_t cut = full.find_last_of(u"\\/");
  state_->root = cut == std::u16string::npos ? std::u16string() : full.substr(0, cut);
  state_->found = true;
  return true;
}

bool FileFinder::FindNext() {
  if (!state_->search) return false;
  state_->found = FindNextFileW(state_->search.get(), &state_->data) != FALSE;
  return state_->found;
}

void FileFinder::Close() {
  state_->search.Reset();
  state_->found = false;
}

bool FileFinder::Found() const { return state_->found; }

std::u16string FileFinder::FileName() const {
  if (!state_->found) return {};
  return std::u16string(reinterpret_cast<const char16_t*>(state_->data.cFileName));
}

bool FileFinder::IsDirectory() const {
  return state_->found && (state_->data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

const std::u16string& FileFinder::Root() const { return state_->root; }

bool SetCurrentDirectoryPath(const std::u16string& path) {
  return SetCurrentDirectoryW(W(path)) != FALSE;
}

FILE* OpenAppendFile(const std::u16string& path) { return _wfopen(W(path), L"ab"); }

bool ReadSmallFile(const std::u16string& path, std::string& contents) {
  const ScopedKernelHandle file(CreateFileW(W(path), GENERIC_READ,
                                            FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return false;
  contents.clear();
  char buffer[4096];
  DWORD read = 0;
  while (ReadFile(file.get(), buffer, sizeof buffer, &read, nullptr) && read > 0 &&
         contents.size() < (1u << 20)) {
    contents.append(buffer, read);
  }
  return true;
}

}  // namespace javelin
