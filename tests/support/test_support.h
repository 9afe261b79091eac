// Helpers shared by the tests: temporary folders, files, the paths of the
// built programs, and starting a program with captured output.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "base/text.h"

namespace javelin::test {

// A build artifact path (a host path baked in at build time) as this
// platform sees it: unchanged on POSIX, "Z:\..." under Wine.
std::u16string HostPath(const char* path);

std::u16string LauncherPath();    // the built launcher
std::u16string TestJvmPath();     // the built test JVM library (empty if none)
std::u16string JavaClassesDir();  // compiled Java test programs (Linux only)
std::u16string SourceDir();
std::u16string JdkHome();  // the JDK the build used (Linux only)

// A fresh, empty folder removed with everything in it on destruction.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::u16string& path() const { return path_; }
  // path() + separator + relative (relative uses '/', converted).
  std::u16string operator/(const std::u16string& relative) const;

 private:
  std::u16string path_;
};

// Joins with the platform separator; '/' in `relative` become separators.
std::u16string JoinPath(const std::u16string& base, const std::u16string& relative);

void WriteFile(const std::u16string& path, const std::string& bytes);  // creates parents
std::string ReadFile(const std::u16string& path);                      // empty when missing
bool FileExists(const std::u16string& path);
void MakeDirectories(const std::u16string& path);
void CopyOneFile(const std::u16string& from, const std::u16string& to);  // creates parents

// Puts a copy of the launcher at `dir`/`name` (".exe" is appended on
// Windows) and returns its path.
std::u16string InstallLauncher(const std::u16string& dir, const std::u16string& name);

struct ProcessResult {
  int exitCode = -1;   // the full code on Windows; 0..255 (or 128+signal) on POSIX
  std::string output;  // standard output, raw bytes
  std::string errors;  // standard error, raw bytes
};

struct ProcessOptions {
  // Variables to set (value) or remove (nullopt) for the child.
  std::map<std::u16string, std::optional<std::u16string>> environment;
  std::u16string workingDirectory;  // empty: the current one
  double timeoutSeconds = 120;      // the child is killed after that
};

// Starts `program` with `arguments` (argv[1..] on POSIX; quoted into a
// command line on Windows) and waits for it.
ProcessResult RunProgram(const std::u16string& program, const TextList& arguments,
                         const ProcessOptions& options = {});

#ifdef _WIN32
// Starts `program` with exactly `commandLine` as its command line, so the
// launcher's own splitting can be checked.
ProcessResult RunCommandLine(const std::u16string& program, const std::u16string& commandLine,
                             const ProcessOptions& options = {});
#endif

// Process exit code -1 as the platform reports it (255 on POSIX).
int ExitCodeMinusOne();

}  // namespace javelin::test
