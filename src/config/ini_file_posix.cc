// IniFile on Javelin's own reader and writer (see ini_text.h), which follow
// the rules of the Windows profile functions. The file is parsed once, so a
// launch that looks up many keys costs one pass over it however big it is.
#include <errno.h>
#include <fcntl.h>
#include <unistd.h>

#include <string>

#include "config/ini_file.h"
#include "config/ini_text.h"

namespace javelin {

namespace {

// Reads the whole file. False with errno set when it cannot be read.
bool ReadWholeFile(const std::u16string& path, std::string& bytes) {
  const int fd = open(ToUtf8(path).c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  bytes.clear();
  char chunk[65536];
  for (;;) {
    const ssize_t count = read(fd, chunk, sizeof chunk);
    if (count < 0 && errno == EINTR) continue;
    if (count < 0) {
      const int error = errno;
      close(fd);
      errno = error;
      return false;
    }
    if (count == 0) break;
    bytes.append(chunk, static_cast<size_t>(count));
  }
  close(fd);
  return true;
}

bool WriteWholeFile(const std::u16string& path, const std::string& bytes) {
  const int fd = open(ToUtf8(path).c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (fd < 0) return false;
  size_t written = 0;
  while (written < bytes.size()) {
    const ssize_t count = write(fd, bytes.data() + written, bytes.size() - written);
    if (count < 0 && errno == EINTR) continue;
    if (count <= 0) {
      close(fd);
      return false;
    }
    written += static_cast<size_t>(count);
  }
  return close(fd) == 0;
}

// The decoded file; a missing or unreadable file reads as empty text.
IniText ReadIniText(const std::u16string& path) {
  std::string bytes;
  if (!ReadWholeFile(path, bytes)) return {};
  return DecodeIniBytes(bytes);
}

}  // namespace

struct IniFile::State {
  IniIndex index;
};

IniFile::IniFile(std::u16string path) : path_(std::move(path)) {}
IniFile::~IniFile() = default;

uint32_t IniFile::ReadHeader(unsigned char (&buffer)[4]) {
  const int fd = open(ToUtf8(path()).c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return static_cast<uint32_t>(errno);
  ssize_t count;
  do {
    count = read(fd, buffer, sizeof buffer);
  } while (count < 0 && errno == EINTR);
  const uint32_t result = count < 0 ? static_cast<uint32_t>(errno) : 0;
  close(fd);
  return result;
}

std::u16string IniFile::GetString(const std::u16string& section, const std::u16string& key) {
  if (!state_) state_.reset(new State{IniIndex(ReadIniText(path()).text)});
  return state_->index.Find(section, key);
}

int IniFile::WriteString(const std::u16string& section, const std::u16string& key,
                         const std::u16string& value) {
  state_.reset();
  // A missing file is created; one that exists but cannot be read is left
  // alone rather than replaced.
  IniText current;
  std::string bytes;
  if (ReadWholeFile(path(), bytes)) {
    current = DecodeIniBytes(bytes);
  } else if (errno != ENOENT) {
    return 0;
  }
  const std::u16string updated = SetIniValue(current.text, section, key, value);
  return WriteWholeFile(path(), EncodeIniText(updated, current.encoding)) ? 1 : 0;
}

int IniFile::Delete() {
  state_.reset();
  return unlink(ToUtf8(path()).c_str()) == 0 ? 1 : 0;
}

}  // namespace javelin
