// Path and file operations on Windows, with the long-path prefixes "\\?\"
// and "\\?\UNC\" for paths beyond the classic 259-character limit.
#include <windows.h>
#include <shlwapi.h>

#include <vector>

#include "base/file_system.h"
#include "base/text.h"

namespace javelin {

const char16_t kPathSeparator = u'\\';

namespace {

constexpr size_t kLongPathLength = 260;    // from here on a path needs a prefix
constexpr size_t kMaximumPathLength = 32767;
const std::u16string kLongPrefix = u"\\\\?\\";
const std::u16string kLongUncPrefix = u"\\\\?\\UNC\\";

const wchar_t* W(const std::u16string& text) { return reinterpret_cast<const wchar_t*>(text.c_str()); }

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

bool IsAbsolutePath(const std::u16string& path) {
  return path.size() >= 2 && ((path[0] == u'\\' && path[1] == u'\\') || path[1] == u':');
}

bool AbsolutePathExists(const std::u16string& path) {
  if (!IsAbsolutePath(path)) return false;
  WIN32_FIND_DATAW data;
  const HANDLE search = FindFirstFileW(W(path), &data);
  if (search == INVALID_HANDLE_VALUE) return false;
  FindClose(search);
  return true;
}

TextList SplitPathComponents(const std::u16string& path) {
  std::u16string prefix;
  if (StartsWith(path, kLongUncPrefix)) {
    prefix = kLongUncPrefix;
  } else if (StartsWith(path, kLongPrefix)) {
    prefix = kLongPrefix;
  }
  const std::u16string working = path.substr(prefix.size());
  // A UNC root is "\\server"; any other root runs up to the first backslash
  // ("C:" for a drive path).
  const size_t rootEnd = working.find(u'\\', PathIsUNCW(W(working)) ? 2 : 0);
  if (rootEnd == std::u16string::npos) return {prefix + working};
  TextList components;
  SplitText(working.substr(rootEnd + 1), u"\\", components);
  components.insert(components.begin(), prefix + working.substr(0, rootEnd));
  return components;
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
  HANDLE search = INVALID_HANDLE_VALUE;
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
  state_->search = FindFirstFileW(W(searched), &state_->data);
  if (state_->search == INVALID_HANDLE_VALUE) return false;

  const DWORD size = GetFullPathNameW(W(searched), 0, nullptr, nullptr);
  std::vector<wchar_t> fullPath(size + 1);
  const DWORD length = size == 0 ? 0 : GetFullPathNameW(W(searched), size + 1, fullPath.data(), nullptr);
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
  if (state_->search == INVALID_HANDLE_VALUE) return false;
  state_->found = FindNextFileW(state_->search, &state_->data) != FALSE;
  return state_->found;
}

void FileFinder::Close() {
  if (state_->search != INVALID_HANDLE_VALUE) FindClose(state_->search);
  state_->search = INVALID_HANDLE_VALUE;
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

FILE* OpenAppendFile(const std::u16string& path) {
  return _wfopen(reinterpret_cast<const wchar_t*>(path.c_str()), L"ab");
}

bool ReadSmallFile(const std::u16string& path, std::string& contents) {
  HANDLE file = CreateFileW(reinterpret_cast<const wchar_t*>(path.c_str()), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  contents.clear();
  char buffer[4096];
  DWORD read = 0;
  while (ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read > 0 &&
         contents.size() < (1u << 20)) {
    contents.append(buffer, read);
  }
  CloseHandle(file);
  return true;
}

}  // namespace javelin
