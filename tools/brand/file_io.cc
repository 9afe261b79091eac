// The platform-independent part of the tool's file access.
#include <cstdio>

#include "file_io.h"

namespace javelin::brand {

bool ReadWholeFile(const std::string& path, Bytes* contents, std::string* error) {
  FILE* file = OpenForReading(path, error);
  if (file == nullptr) return false;
  Bytes result;
  uint8_t buffer[65536];
  size_t count = 0;
  while ((count = std::fread(buffer, 1, sizeof buffer, file)) > 0)
    result.insert(result.end(), buffer, buffer + count);
  const bool failed = std::ferror(file) != 0;
  std::fclose(file);
  if (failed) {
    *error = "cannot read " + path;
    return false;
  }
  *contents = std::move(result);
  return true;
}

}  // namespace javelin::brand
