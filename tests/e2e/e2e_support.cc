#include "e2e/e2e_support.h"

#include "base/file_system.h"
#include "support/test_support.h"

namespace javelin::test {

namespace {

char HexDigit(unsigned value) { return "0123456789ABCDEF"[value & 15]; }

}  // namespace

std::u16string TestJvmVariantPath(const std::u16string& variant) {
  const std::u16string library = TestJvmPath();
  if (variant.empty() || library.empty()) return library;
  // jvm.so / jvm.dll -> jvm_<variant>.so / jvm_<variant>.dll
  const size_t dot = library.rfind(u'.');
  return library.substr(0, dot) + u"_" + variant + library.substr(dot);
}

std::u16string InstallTestJvm(const std::u16string& home, const std::u16string& variant) {
  const std::u16string library = JvmLibraryInHome(home);
  CopyOneFile(TestJvmVariantPath(variant), library);
  WriteFile(JoinPath(home, RuntimeMarkerInHome()), "");
  return library;
}

std::u16string InstallProxyJvm(const std::u16string& home) {
#ifdef JAVELIN_PROXY_JVM
  const std::u16string library = JvmLibraryInHome(home);
  CopyOneFile(HostPath(JAVELIN_PROXY_JVM), library);
  WriteFile(JoinPath(home, RuntimeMarkerInHome()), "");
  WriteFile(library.substr(0, library.rfind(kPathSeparator) + 1) + u"proxyjvm.target",
            ToUtf8(JvmLibraryInHome(JdkHome())) + "\n");
  return library;
#else
  (void)home;
  return {};
#endif
}

std::u16string MakeApp(const std::u16string& dir, const std::u16string& name,
                       const std::string& iniText) {
  WriteFile(JoinPath(dir, name + u".ini"), iniText);
  return InstallLauncher(dir, name);
}

ProcessResult WithUnixLineEnds(ProcessResult result) {
  for (std::string* text : {&result.output, &result.errors}) {
    std::string cleaned;
    for (size_t i = 0; i < text->size(); ++i) {
      if ((*text)[i] == '\r' && i + 1 < text->size() && (*text)[i + 1] == '\n') continue;
      cleaned.push_back((*text)[i]);
    }
    *text = cleaned;
  }
  return result;
}

std::vector<std::string> ReadLines(const std::u16string& path) {
  std::vector<std::string> lines;
  const std::string text = ReadFile(path);
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
    start = end + 1;
  }
  return lines;
}

std::u16string TestJvmLogBeside(const std::u16string& library) {
  return library.substr(0, library.rfind(kPathSeparator) + 1) + u"testjvm.log";
}

std::u16string TestJvmControlBeside(const std::u16string& library) {
  return library.substr(0, library.rfind(kPathSeparator) + 1) + u"testjvm.control";
}

bool HasLine(const std::vector<std::string>& lines, const std::string& line) {
  return LineIndex(lines, line) >= 0;
}

int LineIndex(const std::vector<std::string>& lines, const std::string& line) {
  for (size_t i = 0; i < lines.size(); ++i) {
    if (lines[i] == line) return static_cast<int>(i);
  }
  return -1;
}

std::string EscapeBytes(const std::string& bytes) {
  std::string escaped;
  for (unsigned char c : bytes) {
    if (c == '\\') {
      escaped += "\\\\";
    } else if (c >= 0x20 && c < 0x7F) {
      escaped.push_back(static_cast<char>(c));
    } else {
      escaped += {'\\', 'x', HexDigit(c >> 4), HexDigit(c)};
    }
  }
  return escaped;
}

std::string EscapeUnits(const std::u16string& units) {
  std::string escaped;
  for (char16_t c : units) {
    if (c == u'\\') {
      escaped += "\\\\";
    } else if (c >= 0x20 && c < 0x7F) {
      escaped.push_back(static_cast<char>(c));
    } else {
      escaped += {'\\', 'u', HexDigit(c >> 12), HexDigit(c >> 8), HexDigit(c >> 4), HexDigit(c)};
    }
  }
  return escaped;
}

}  // namespace javelin::test
