// Path and file operations on POSIX. The directory search takes the rules of
// the Windows one: wildcards in the last component (see wildcard.h), "." and
// ".." reported like other entries, matches in the order of an NTFS listing
// (see name_order.h), and the root found by text as GetFullPathNameW finds it.
#include <dirent.h>
#include <errno.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <vector>

#include "base/file_system.h"
#include "base/name_order.h"
#include "base/wildcard.h"

namespace javelin {

const char16_t kPathSeparator = u'/';
const PathStyle kHostPathStyle = PathStyle::kPosix;

namespace {

bool CurrentDirectory(std::u16string& directory) {
  std::vector<char> buffer(256);
  while (getcwd(buffer.data(), buffer.size()) == nullptr) {
    if (errno != ERANGE) return false;
    buffer.resize(buffer.size() * 2);
  }
  directory = FromUtf8(buffer.data());
  return true;
}

// The path made absolute against the current directory, with empty and "."
// components dropped and ".." taking the previous one away (never above the
// root). A trailing '/' stays: it leaves an empty last component, which
// matches nothing, as on Windows.
bool FullPath(const std::u16string& path, std::u16string& full) {
  std::u16string absolute = path;
  if (!IsAbsolutePath(path)) {
    if (!CurrentDirectory(absolute)) return false;
    absolute += u'/';
    absolute += path;
  }
  TextList pieces;
  SplitText(absolute, u"/", pieces);
  TextList kept;
  for (const std::u16string& piece : pieces) {
    if (piece.empty() || piece == u".") continue;
    if (piece == u"..") {
      if (!kept.empty()) kept.pop_back();
      continue;
    }
    kept.push_back(piece);
  }
  full.clear();
  for (const std::u16string& piece : kept) full += u'/' + piece;
  if (full.empty() || absolute.back() == u'/') full += u'/';
  return true;
}

// stat follows links, so a link to a folder is a folder, as the attributes of
// a Windows directory link say.
bool IsDirectoryPath(const std::string& path) {
  struct stat status;
  return stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

}  // namespace

bool AbsolutePathExists(const std::u16string& path) {
  if (!IsAbsolutePath(path)) return false;
  FileFinder finder;
  return finder.FindFile(path);
}

bool PathExists(const std::u16string& path) {
  struct stat info;
  return !path.empty() && stat(ToUtf8(path).c_str(), &info) == 0;
}

uint32_t CreateParentDirectories(const std::u16string& path) {
  if (AbsolutePathExists(path)) return 0;
  const TextList components = SplitPathComponents(path);
  if (components.size() < 3) return 0;
  std::u16string directory = components.front();
  std::vector<std::u16string> created;
  for (size_t i = 1; i + 1 < components.size(); ++i) {
    directory += u'/';
    directory += components[i];
    if (mkdir(ToUtf8(directory).c_str(), 0777) == 0) {
      created.push_back(directory);
      continue;
    }
    const int failure = errno;
    if (failure == EEXIST) continue;
    while (!created.empty()) {
      RemoveDirectoryLong(created.back());
      created.pop_back();
    }
    return static_cast<uint32_t>(failure);
  }
  return 0;
}

bool RemoveDirectoryLong(const std::u16string& path) { return rmdir(ToUtf8(path).c_str()) == 0; }

struct FileFinder::State {
  struct Match {
    std::u16string name;
    bool isDirectory = false;
  };
  // Every match of the search, in listing order, and the next one to report.
  std::vector<Match> matches;
  size_t next = 0;
  bool found = false;
  std::u16string name;
  bool isDirectory = false;
  std::u16string root;
};

FileFinder::FileFinder() : state_(new State) {}

FileFinder::~FileFinder() { Close(); }

namespace {

// "." and ".." come first, as NTFS lists them; the other names follow in the
// order of its directory index.
bool ListsBefore(const FileFinder::State::Match& a, const FileFinder::State::Match& b) {
  const bool aDots = a.name == u"." || a.name == u"..";
  const bool bDots = b.name == u"." || b.name == u"..";
  if (aDots != bDots) return aDots;
  return PrecedesInDirectoryOrder(a.name, b.name);
}

}  // namespace

bool FileFinder::FindFile(const std::u16string& pattern) {
  Close();
  state_->root.clear();
  state_->matches.clear();
  std::u16string full;
  if (!FullPath(pattern, full)) return false;
  const size_t cut = full.rfind(u'/');
  const std::u16string root = full.substr(0, cut);
  const std::u16string namePattern = full.substr(cut + 1);
  const std::string directoryPath = ToUtf8(root) + '/';
  if (namePattern.empty()) {
    errno = ENOENT;
    return false;
  }
  if (!HasWildcard(namePattern)) {
    // A plain name needs no listing: it is there or not.
    const std::string path = directoryPath + ToUtf8(namePattern);
    struct stat status;
    if (lstat(path.c_str(), &status) != 0) return false;
    state_->matches.push_back({namePattern, IsDirectoryPath(path)});
  } else {
    DIR* directory = opendir(directoryPath.c_str());
    if (directory != nullptr) {
      while (const dirent* entry = readdir(directory)) {
        std::u16string name = FromUtf8(entry->d_name);
        if (!MatchesWildcard(namePattern, name)) continue;
        bool isDirectory = entry->d_type == DT_DIR;
        if (entry->d_type == DT_LNK || entry->d_type == DT_UNKNOWN) {
          isDirectory = IsDirectoryPath(directoryPath + entry->d_name);
        }
        state_->matches.push_back({std::move(name), isDirectory});
      }
      closedir(directory);
    }
    // The file system's own order (hash order on ext4) would make the same
    // INI give another class path here than on Windows.
    std::sort(state_->matches.begin(), state_->matches.end(), ListsBefore);
  }
  if (!FindNext()) {
    errno = ENOENT;
    return false;
  }
  state_->root = root;
  return true;
}

bool FileFinder::FindNext() {
  state_->found = state_->next < state_->matches.size();
  if (state_->found) {
    state_->name = state_->matches[state_->next].name;
    state_->isDirectory = state_->matches[state_->next].isDirectory;
    ++state_->next;
  }
  return state_->found;
}

void FileFinder::Close() {
  state_->matches.clear();
  state_->next = 0;
  state_->found = false;
}

bool FileFinder::Found() const { return state_->found; }

std::u16string FileFinder::FileName() const {
  return state_->found ? state_->name : std::u16string();
}

bool FileFinder::IsDirectory() const { return state_->found && state_->isDirectory; }

const std::u16string& FileFinder::Root() const { return state_->root; }

bool SetCurrentDirectoryPath(const std::u16string& path) {
  return chdir(ToUtf8(path).c_str()) == 0;
}

FILE* OpenAppendFile(const std::u16string& path) { return fopen(ToUtf8(path).c_str(), "ab"); }

bool ReadSmallFile(const std::u16string& path, std::string& contents) {
  FILE* file = fopen(ToUtf8(path).c_str(), "rb");
  if (file == nullptr) return false;
  char buffer[4096];
  size_t read = 0;
  contents.clear();
  while ((read = fread(buffer, 1, sizeof buffer, file)) > 0 && contents.size() < (1u << 20)) {
    contents.append(buffer, read);
  }
  fclose(file);
  return true;
}

}  // namespace javelin
