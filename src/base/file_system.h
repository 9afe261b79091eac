// Path and file operations shared by the configuration reader, the runtime
// search and the option assembly. Paths use the platform separator
// (`kPathSeparator`); Windows paths may carry the long-path prefixes.
#pragma once

#include <cstdint>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>

#include "base/text.h"

namespace javelin {

// Whose rules a path's text follows. The rules are plain text, so both sets
// work on every host; kNative is the platform's own.
enum class PathStyle { kNative, kWindows, kPosix };

// '\\' on Windows, '/' elsewhere.
extern const char16_t kPathSeparator;
// PathStyle::kWindows on Windows, PathStyle::kPosix elsewhere.
extern const PathStyle kHostPathStyle;

// Whether `path` is absolute: Windows, two leading backslashes or ':' as
// second character; POSIX, a leading '/'.
bool IsAbsolutePath(const std::u16string& path, PathStyle style = PathStyle::kNative);

// True when `path` is absolute (see IsAbsolutePath; Windows also requires at
// least two characters) and a directory search for it finds something. Like
// that search, it accepts wildcards in the last component and is false for a
// path that ends in a separator.
bool AbsolutePathExists(const std::u16string& path);

// True when a file or folder exists at `path`; false for an empty path.
// Windows: a directory search for it finds something (so a wildcard in the
// last component matches too); POSIX: stat, which follows links.
bool PathExists(const std::u16string& path);

// Root (with any long-path prefix) first, then the components in order.
// Windows: "C:\a\b" gives "C:", "a", "b"; "\\server\share\d" gives
// "\\server", "share", "d"; "\\?\UNC\server\share" gives
// "\\?\UNC\server", "share". POSIX: the root of "/a/b" is the empty text
// before the first '/', so root + '/' + components rebuilds the path. A
// relative path's first component takes the root's place on both.
TextList SplitPathComponents(const std::u16string& path, PathStyle style = PathStyle::kNative);

// Creates every missing directory above the file `path`, outermost first.
// Returns 0 or the platform error code (Windows error, errno) of the last
// failure; an already existing level counts as success. When a level fails
// (on Windows: of a path that is not UNC), the loop stops and the folders this
// call created are removed again; folders that existed before stay.
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
  // its last separator. The full path is the pattern made absolute against
  // the current directory, with "." and ".." resolved by text.
  const std::u16string& Root() const;

  struct State;

 private:
  std::unique_ptr<State> state_;
};

// Replaces every %NAME% reference by the variable's value; references to
// variables that are not set stay as written. Windows: ExpandEnvironmentStringsW
// (names without regard to case). POSIX: ExpandVariables with the process
// environment (names case-sensitive).
std::u16string ExpandEnvironment(const std::u16string& text);

// Looks a variable up; false when it is not set.
using VariableLookup = std::function<bool(const std::u16string& name, std::u16string& value)>;

// The %NAME% expansion with the rules of Windows: a name that `lookup` knows
// is replaced with its percent signs; otherwise the '%' and the text up to the
// next '%' are kept and scanning goes on at that next '%' (so "%%" and a
// lone '%' stay, and "%unset%SET%" keeps "%unset" and expands "%SET%").
std::u16string ExpandVariables(const std::u16string& text, const VariableLookup& lookup);

// Process environment access. GetEnvironment returns false when unset; a
// variable set to the empty text is set.
bool GetEnvironment(const std::u16string& name, std::u16string& value);
bool SetEnvironment(const std::u16string& name, const std::u16string& value);
bool RemoveEnvironment(const std::u16string& name);

// The whole contents of a small file (at most about 1 MiB is read); false
// when it cannot be opened.
bool ReadSmallFile(const std::u16string& path, std::string& contents);

// Opens the file at `path` for appending bytes (created when missing); null
// when it cannot be opened.
FILE* OpenAppendFile(const std::u16string& path);

// Current directory of the process.
bool SetCurrentDirectoryPath(const std::u16string& path);

}  // namespace javelin
