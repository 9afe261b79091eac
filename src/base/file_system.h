// Path and file operations shared by the configuration reader, the runtime
// search and the option assembly. Paths use the platform separator
// (`kPathSeparator`); Windows paths may carry the long-path prefixes.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "base/text.h"

namespace javelin {

// '\\' on Windows, '/' elsewhere.
extern const char16_t kPathSeparator;

// Cuts `text` at every `delimiter` into `pieces` (cleared first). An empty
// text yields nothing; a trailing delimiter adds no empty piece.
void SplitText(const std::u16string& text, const std::u16string& delimiter,
               TextList& pieces);

// Whether `path` is absolute in the platform's sense: on Windows two leading
// backslashes or ':' as second character; elsewhere a leading '/'.
bool IsAbsolutePath(const std::u16string& path);

// True when `path` is absolute (see IsAbsolutePath; Windows also requires at
// least two characters) and names an existing file or folder.
bool AbsolutePathExists(const std::u16string& path);

// Root (with any long-path prefix) first, then the components in order.
TextList SplitPathComponents(const std::u16string& path);

// Creates every missing directory above the file `path`. Returns 0 or the
// platform error code of the last failure (already-exists counts as success).
uint32_t CreateParentDirectories(const std::u16string& path);

// Removes one directory (long-path prefix added on Windows when needed).
bool RemoveDirectoryLong(const std::u16string& path);

// A directory search with '*' and '?' wildcards in the last component.
// Windows: FindFirstFileW/FindNextFileW. POSIX: opendir/readdir with the same
// matching rules (case-sensitive), "." and ".." included when they match.
class FileFinder {
 public:
  FileFinder();
  ~FileFinder();
  FileFinder(const FileFinder&) = delete;
  FileFinder& operator=(const FileFinder&) = delete;

  // Starts a new search (closing any previous one). True when something
  // matches; then FileName() is the first match.
  bool FindFile(const std::u16string& pattern = u"*.*");
  // Advances to the next match; false when there is none.
  bool FindNext();
  // Ends the search; also done by the destructor and every new FindFile.
  void Close();

  bool Found() const;
  // Name of the current match (no directory part).
  std::u16string FileName() const;
  // Whether the current match is a directory.
  bool IsDirectory() const;
  // Directory of the last successful search: the pattern's full path cut at
  // its last separator.
  const std::u16string& Root() const;

  struct State;

 private:
  std::unique_ptr<State> state_;
};

// Replaces every %NAME% reference by the variable's value; references to
// variables that are not set stay as written.
std::u16string ExpandEnvironment(const std::u16string& text);

// Process environment access. GetEnvironment returns false when unset.
bool GetEnvironment(const std::u16string& name, std::u16string& value);
bool SetEnvironment(const std::u16string& name, const std::u16string& value);

// Current directory of the process.
bool SetCurrentDirectoryPath(const std::u16string& path);

}  // namespace javelin
