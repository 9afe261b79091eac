// The process's own standard output and error pointed at a file, so that
// what the JVM and the launcher write natively lands in the same file as
// System.out and System.err.
#pragma once

#include <cstdint>
#include <string>

namespace javelin {

enum class ProcessStream { kOutput, kError };

// A file opened for writing at its end, ready to become one of the process's
// standard streams; closed again unless it becomes one.
class ProcessStreamFile {
 public:
  // Creates the file when missing and truncates it unless `append`. Every
  // write through it goes to the file's current end, so that it never
  // overwrites what another writer (System.out's own file stream, opened
  // for appending) put there. valid() tells whether it could be opened.
  ProcessStreamFile(const std::u16string& path, bool append);
  ~ProcessStreamFile();
  ProcessStreamFile(const ProcessStreamFile&) = delete;
  ProcessStreamFile& operator=(const ProcessStreamFile&) = delete;

  bool valid() const { return handle_ != kInvalid; }

  // Makes the file the process's standard output or error: descriptor 1 or
  // 2 on POSIX; on Windows the standard handle and the C runtime's
  // descriptor. What the C runtime's stream buffered so far goes to the old
  // place first. False (and the stream as it was) on failure.
  bool Install(ProcessStream stream);

 private:
  static constexpr intptr_t kInvalid = -1;
  intptr_t handle_ = kInvalid;  // a descriptor or a HANDLE
};

}  // namespace javelin
