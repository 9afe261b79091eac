#include <windows.h>

#include "base/win_support.h"
#include "support/test_support.h"

namespace javelin::test {

namespace {

// Quotes one argument so that the usual Windows splitting gives it back.
std::u16string QuoteArgument(const std::u16string& argument) {
  if (!argument.empty() && argument.find_first_of(u" \t\"") == std::u16string::npos)
    return argument;
  std::u16string quoted = u"\"";
  size_t backslashes = 0;
  for (char16_t c : argument) {
    if (c == u'\\') {
      ++backslashes;
    } else if (c == u'"') {
      quoted.append(backslashes * 2 + 1, u'\\');
      backslashes = 0;
    } else {
      backslashes = 0;
    }
    quoted.push_back(c);
  }
  quoted.append(backslashes, u'\\');
  quoted.push_back(u'"');
  return quoted;
}

HANDLE OpenCapture(const std::u16string& path) {
  SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
  return CreateFileW(W(path), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                     CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
}

std::u16string EnvironmentBlock(const ProcessOptions& options) {
  std::u16string block;
  wchar_t* current = GetEnvironmentStringsW();
  for (const wchar_t* e = current; *e != 0; e += wcslen(e) + 1) {
    const std::u16string entry(reinterpret_cast<const char16_t*>(e));
    bool overridden = false;
    const std::u16string name = entry.substr(0, entry.find(u'=', 1));
    for (const auto& item : options.environment) overridden |= EqualsIgnoreCase(item.first, name);
    if (!overridden) block += entry + u'\0';
  }
  FreeEnvironmentStringsW(current);
  for (const auto& [name, value] : options.environment) {
    if (value) block += name + u"=" + *value + u'\0';
  }
  block.push_back(u'\0');
  return block;
}

}  // namespace

ProcessResult RunCommandLine(const std::u16string& program, const std::u16string& commandLine,
                             const ProcessOptions& options) {
  TempDir captures;
  const std::u16string outPath = captures / u"stdout";
  const std::u16string errPath = captures / u"stderr";
  HANDLE out = OpenCapture(outPath);
  HANDLE err = OpenCapture(errPath);
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdOutput = out;
  startup.hStdError = err;
  PROCESS_INFORMATION process{};
  std::u16string line = commandLine;
  std::u16string environment = EnvironmentBlock(options);
  ProcessResult result;
  const BOOL started = CreateProcessW(
      W(program), reinterpret_cast<wchar_t*>(&line[0]), nullptr, nullptr, TRUE,
      CREATE_UNICODE_ENVIRONMENT, &environment[0],
      options.workingDirectory.empty() ? nullptr : W(options.workingDirectory), &startup, &process);
  CloseHandle(out);
  CloseHandle(err);
  if (!started) return result;
  const DWORD waited =
      WaitForSingleObject(process.hProcess, static_cast<DWORD>(options.timeoutSeconds * 1000));
  if (waited != WAIT_OBJECT_0) {
    TerminateProcess(process.hProcess, 1);
    WaitForSingleObject(process.hProcess, INFINITE);
    result.errors = "[killed after timeout]";
  }
  DWORD code = 0;
  GetExitCodeProcess(process.hProcess, &code);
  result.exitCode = static_cast<int>(code);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  result.output = ReadFile(outPath);
  result.errors += ReadFile(errPath);
  return result;
}

ProcessResult RunProgram(const std::u16string& program, const TextList& arguments,
                         const ProcessOptions& options) {
  std::u16string commandLine = QuoteArgument(program);
  for (const auto& argument : arguments) commandLine += u" " + QuoteArgument(argument);
  return RunCommandLine(program, commandLine, options);
}

}  // namespace javelin::test
