#include "support/test_support.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>

#include "base/file_system.h"

namespace javelin::test {

namespace fs = std::filesystem;

namespace {
const bool kWindows = kPathSeparator == u'\\';
}  // namespace

std::u16string HostPath(const char* path) {
  if (!kWindows) return FromUtf8(path);
  std::u16string result = u"Z:";
  for (const char* p = path; *p != 0; ++p)
    result.push_back(*p == '/' ? u'\\' : static_cast<char16_t>(*p));
  return result;
}

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

int ExitCodeMinusOne() { return kWindows ? -1 : 255; }

std::u16string JoinPath(const std::u16string& base, const std::u16string& relative) {
  std::u16string result = base;
  if (!result.empty() && result.back() != kPathSeparator) result.push_back(kPathSeparator);
  for (char16_t c : relative) result.push_back(c == u'/' ? kPathSeparator : c);
  return result;
}

TempDir::TempDir() {
  static std::mt19937_64 random{std::random_device{}()};
  std::error_code error;
  do {
    path_ =
        (fs::temp_directory_path(error) / ("javelin-test-" + std::to_string(random()))).u16string();
  } while (!fs::create_directory(fs::path(path_), error));
}

TempDir::~TempDir() {
  std::error_code ignored;
  fs::remove_all(fs::path(path_), ignored);
}

std::u16string TempDir::operator/(const std::u16string& relative) const {
  return JoinPath(path_, relative);
}

void MakeDirectories(const std::u16string& path) {
  std::error_code ignored;
  fs::create_directories(fs::path(path), ignored);
}

void WriteFile(const std::u16string& path, const std::string& bytes) {
  MakeDirectories(fs::path(path).parent_path().u16string());
  std::ofstream out(fs::path(path), std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string ReadFile(const std::u16string& path) {
  std::ifstream in(fs::path(path), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool FileExists(const std::u16string& path) {
  std::error_code ignored;
  return fs::exists(fs::path(path), ignored);
}

void CopyOneFile(const std::u16string& from, const std::u16string& to) {
  MakeDirectories(fs::path(to).parent_path().u16string());
  fs::copy_file(fs::path(from), fs::path(to), fs::copy_options::overwrite_existing);
}

std::u16string InstallLauncher(const std::u16string& dir, const std::u16string& name) {
  const std::u16string target = JoinPath(dir, name + (kWindows ? u".exe" : u""));
  CopyOneFile(LauncherPath(), target);
  fs::permissions(fs::path(target), fs::perms::owner_all, fs::perm_options::add);
  return target;
}

}  // namespace javelin::test
