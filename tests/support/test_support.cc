#include "support/test_support.h"

#include <filesystem>
#include <fstream>
#include <iterator>

#include "base/file_system.h"

namespace javelin::test {

namespace fs = std::filesystem;

static fs::path ToFsPath(const std::u16string& path) { return fs::path(path); }

std::u16string LauncherPath() { return HostPath(JAVELIN_LAUNCHER); }

std::u16string TestJvmPath() {
#ifdef JAVELIN_TEST_JVM
  return HostPath(JAVELIN_TEST_JVM);
#else
  return {};
#endif
}

std::u16string JavaClassesDir() {
#ifdef JAVELIN_JAVA_CLASSES
  return HostPath(JAVELIN_JAVA_CLASSES);
#else
  return {};
#endif
}

std::u16string SourceDir() { return HostPath(JAVELIN_SOURCE_DIR); }
std::u16string JdkHome() { return HostPath(JAVELIN_JDK_HOME); }

std::u16string JoinPath(const std::u16string& base, const std::u16string& relative) {
  std::u16string result = base;
  if (!result.empty() && result.back() != kPathSeparator) result.push_back(kPathSeparator);
  for (char16_t c : relative) result.push_back(c == u'/' ? kPathSeparator : c);
  return result;
}

TempDir::~TempDir() {
  std::error_code ignored;
  fs::remove_all(ToFsPath(path_), ignored);
}

std::u16string TempDir::operator/(const std::u16string& relative) const {
  return JoinPath(path_, relative);
}

void MakeDirectories(const std::u16string& path) {
  std::error_code ignored;
  fs::create_directories(ToFsPath(path), ignored);
}

void WriteFile(const std::u16string& path, const std::string& bytes) {
  MakeDirectories(ToFsPath(path).parent_path().u16string());
  std::ofstream out(ToFsPath(path), std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string ReadFile(const std::u16string& path) {
  std::ifstream in(ToFsPath(path), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool FileExists(const std::u16string& path) {
  std::error_code ignored;
  return fs::exists(ToFsPath(path), ignored);
}

void CopyOneFile(const std::u16string& from, const std::u16string& to) {
  MakeDirectories(ToFsPath(to).parent_path().u16string());
  fs::copy_file(ToFsPath(from), ToFsPath(to), fs::copy_options::overwrite_existing);
}

}  // namespace javelin::test
