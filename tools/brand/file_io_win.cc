#include <windows.h>
#include <shellapi.h>

#include <cstdio>

#include "file_io.h"

namespace javelin::brand {
namespace {

std::wstring Wide(const std::string& text) {
  const std::u16string units = Utf8ToUtf16(text);
  return std::wstring(units.begin(), units.end());
}

std::string SystemMessage(DWORD code) { return "Windows error " + std::to_string(code); }

}  // namespace

std::vector<std::string> CommandLineArguments(int, char**) {
  int count = 0;
  wchar_t** arguments = CommandLineToArgvW(GetCommandLineW(), &count);
  std::vector<std::string> result;
  for (int i = 1; arguments != nullptr && i < count; ++i) {
    const std::wstring argument = arguments[i];
    result.push_back(Utf16ToUtf8(std::u16string(argument.begin(), argument.end())));
  }
  LocalFree(arguments);
  return result;
}

FILE* OpenForReading(const std::string& path, std::string* error) {
  FILE* file = _wfopen(Wide(path).c_str(), L"rb");
  if (file == nullptr) *error = "cannot read " + path + ": " + SystemMessage(GetLastError());
  return file;
}

bool ReplaceWholeFile(const std::string& path, const Bytes& contents, const std::string&,
                      std::string* error) {
  const std::wstring temporary = Wide(path + ".brand-tmp");
  HANDLE file = CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    *error = "cannot write " + path + ".brand-tmp: " + SystemMessage(GetLastError());
    return false;
  }
  DWORD written = 0;
  const bool ok =
      WriteFile(file, contents.data(), static_cast<DWORD>(contents.size()), &written, nullptr) &&
      written == contents.size() && FlushFileBuffers(file);
  const DWORD code = GetLastError();
  CloseHandle(file);
  if (!ok || !MoveFileExW(temporary.c_str(), Wide(path).c_str(),
                          MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    *error = "cannot write " + path + ": " + SystemMessage(ok ? GetLastError() : code);
    DeleteFileW(temporary.c_str());
    return false;
  }
  return true;
}

}  // namespace javelin::brand
