#include "e2e/e2e_support.h"

#include <cstdio>
#include <sstream>

#include "base/file_system.h"

namespace javelin::test {

namespace {

const bool kWindows = kPathSeparator == u'\\';

std::u16string BesideLibrary(const std::u16string& library, const std::u16string& name) {
  return library.substr(0, library.rfind(kPathSeparator) + 1) + name;
}

// Copies `library` into `home` with the file that marks a Java runtime.
std::u16string InstallJvm(const std::u16string& home, const std::u16string& library) {
  const std::u16string installed = JvmLibraryInHome(home);
  CopyOneFile(library, installed);
  WriteFile(JoinPath(home, kWindows ? u"bin/java.dll" : u"lib/libjava.so"), "");
  return installed;
}

}  // namespace

std::u16string JvmLibraryInHome(const std::u16string& home) {
  return JoinPath(home, kWindows ? u"bin/server/jvm.dll" : u"lib/server/libjvm.so");
}

std::u16string InstallTestJvm(const std::u16string& home, const std::u16string& variant) {
  std::u16string library = TestJvmPath();  // jvm.so -> jvm_<variant>.so
  if (!variant.empty()) library.insert(library.rfind(u'.'), u"_" + variant);
  return InstallJvm(home, library);
}

std::u16string InstallProxyJvm(const std::u16string& home) {
#ifdef JAVELIN_PROXY_JVM
  const std::u16string library = InstallJvm(home, HostPath(JAVELIN_PROXY_JVM));
  WriteFile(BesideLibrary(library, u"proxyjvm.target"), ToUtf8(JvmLibraryInHome(JdkHome())) + "\n");
  return library;
#else
  (void)home;
  return {};
#endif
}

void SetTestJvmControl(const std::u16string& library, const std::string& text) {
  WriteFile(BesideLibrary(library, u"testjvm.control"), text);
  WriteFile(BesideLibrary(library, u"testjvm.log"), "");
}

std::vector<std::string> TestJvmLog(const std::u16string& library) {
  std::istringstream text(ReadFile(BesideLibrary(library, u"testjvm.log")));
  std::vector<std::string> lines;
  for (std::string line; std::getline(text, line);) lines.push_back(line);
  return lines;
}

std::u16string MakeApp(const std::u16string& dir, const std::u16string& name,
                       const std::string& iniText) {
  WriteFile(JoinPath(dir, name + u".ini"), iniText);
  return InstallLauncher(dir, name);
}

std::string PrintedArguments(const TextList& arguments) {
  std::string text = "argc=" + std::to_string(arguments.size()) + "\n";
  for (const std::u16string& argument : arguments) {
    text += "arg=";
    for (size_t i = 0; i < argument.size(); ++i) {
      char unit[8];
      snprintf(unit, sizeof unit, i == 0 ? "%04X" : " %04X", static_cast<unsigned>(argument[i]));
      text += unit;
    }
    text += "\n";
  }
  return text;
}

ProcessResult WithUnixLineEnds(ProcessResult result) {
  for (std::string* text : {&result.output, &result.errors}) {
    for (size_t at = text->find("\r\n"); at != std::string::npos; at = text->find("\r\n", at)) {
      text->erase(at, 1);
    }
  }
  return result;
}

}  // namespace javelin::test
