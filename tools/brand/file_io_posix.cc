#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "file_io.h"

namespace javelin::brand {

std::vector<std::string> CommandLineArguments(int argc, char** argv) {
  return std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc);
}

FILE* OpenForReading(const std::string& path, std::string* error) {
  FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) *error = "cannot read " + path + ": " + std::strerror(errno);
  return file;
}

bool ReplaceWholeFile(const std::string& path, const Bytes& contents, const std::string& modelPath,
                      std::string* error) {
  struct stat model {};
  mode_t mode = 0755;
  if (stat(path.c_str(), &model) == 0 || stat(modelPath.c_str(), &model) == 0)
    mode = model.st_mode & 07777;
  const std::string temporary = path + ".brand-tmp";
  const int fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, mode);
  if (fd < 0) {
    *error = "cannot write " + temporary + ": " + std::strerror(errno);
    return false;
  }
  size_t written = 0;
  while (written < contents.size()) {
    const ssize_t count = write(fd, contents.data() + written, contents.size() - written);
    if (count < 0 && errno == EINTR) continue;
    if (count <= 0) break;
    written += static_cast<size_t>(count);
  }
  const int savedErrno = errno;
  const bool ok = written == contents.size() && fsync(fd) == 0;
  close(fd);
  if (!ok || rename(temporary.c_str(), path.c_str()) != 0) {
    *error = "cannot write " + path + ": " + std::strerror(ok ? errno : savedErrno);
    unlink(temporary.c_str());
    return false;
  }
  return true;
}

}  // namespace javelin::brand
