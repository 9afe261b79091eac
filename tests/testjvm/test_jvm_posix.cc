#include <dlfcn.h>
#include <stdlib.h>

#include "test_jvm.h"

namespace testjvm {

namespace {

std::string ToUtf8(const std::u16string& units) {
  std::string bytes;
  for (size_t i = 0; i < units.size(); ++i) {
    char32_t c = units[i];
    if (c >= 0xD800 && c < 0xDC00 && i + 1 < units.size() && units[i + 1] >= 0xDC00 && units[i + 1] < 0xE000) {
      c = 0x10000 + ((c - 0xD800) << 10) + (units[++i] - 0xDC00);
    }
    if (c < 0x80) {
      bytes.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
      bytes.push_back(static_cast<char>(0xC0 | (c >> 6)));
      bytes.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
      bytes.push_back(static_cast<char>(0xE0 | (c >> 12)));
      bytes.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
      bytes.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
      bytes.push_back(static_cast<char>(0xF0 | (c >> 18)));
      bytes.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
      bytes.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
      bytes.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
  }
  return bytes;
}

}  // namespace

std::string LibraryDirectory() {
  Dl_info info;
  if (dladdr(reinterpret_cast<void*>(&LibraryDirectory), &info) == 0 || info.dli_fname == nullptr) return "./";
  std::string path = info.dli_fname;
  const size_t last = path.rfind('/');
  return last == std::string::npos ? "./" : path.substr(0, last + 1);
}

std::string EnvironmentValue(const char* name) {
  const char* value = getenv(name);
  return value != nullptr ? value : "";
}

FILE* OpenFileForStream(const std::u16string& path, bool append) {
  return fopen(ToUtf8(path).c_str(), append ? "ab" : "wb");
}

}  // namespace testjvm
