#include "e2e/e2e_support.h"

#include <algorithm>
#include <sstream>

namespace javelin::test {

namespace {

const bool kWindows = kPathSeparator == u'\\';

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
  WriteFile(Beside(library, u"proxyjvm.target"), ToUtf8(JvmLibraryInHome(JdkHome())) + "\n");
  return library;
#else
  (void)home;
  return {};
#endif
}

bool HaveJdk() { return !JavaClassesDir().empty() && FileExists(JvmLibraryInHome(JdkHome())); }

std::u16string Beside(const std::u16string& file, const std::u16string& name) {
  return file.substr(0, file.rfind(kPathSeparator) + 1) + name;
}

void SetTestJvmControl(const std::u16string& library, const std::string& text) {
  WriteFile(Beside(library, u"testjvm.control"), text);
  WriteFile(Beside(library, u"testjvm.log"), "");
}

std::vector<std::string> TestJvmLog(const std::u16string& library) {
  std::istringstream text(ReadFile(Beside(library, u"testjvm.log")));
  std::vector<std::string> lines;
  for (std::string line; std::getline(text, line);) lines.push_back(line);
  return lines;
}

std::u16string MakeApp(const std::u16string& dir, const std::u16string& name,
                       const std::string& iniText) {
  WriteFile(JoinPath(dir, name + u".ini"), iniText);
  return InstallLauncher(dir, name);
}

std::string AppIni(const std::u16string& home, const std::string& mainClass,
                   const std::string& classPath, const std::string& jreLines,
                   const std::string& applicationLines) {
  return "[Java Runtime Environment]\n" + (home.empty() ? "" : "JRE Path=" + ToUtf8(home) + "\n") +
         "Main Class=" + mainClass + "\n" + jreLines + "[Class Path]\nClass Path=" + classPath +
         "\n[Application]\n" + applicationLines;
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

std::string Call(const std::string& method, const TextList& arguments) {
  std::string line = method + " " + PrintedArguments(arguments);
  line.pop_back();
  std::replace(line.begin(), line.end(), '\n', ' ');
  return line;
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
