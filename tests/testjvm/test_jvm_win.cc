#include <windows.h>

#include <stdio.h>

#include "test_jvm.h"

namespace testjvm {

namespace {

std::string ToAnsi(const std::wstring& text) {
  if (text.empty()) return {};
  const int size = WideCharToMultiByte(CP_ACP, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0,
                                       nullptr, nullptr);
  std::string bytes(static_cast<size_t>(size), '\0');
  WideCharToMultiByte(CP_ACP, 0, text.c_str(), static_cast<int>(text.size()), &bytes[0], size, nullptr,
                      nullptr);
  return bytes;
}

}  // namespace

std::string LibraryDirectory() {
  HMODULE module = nullptr;
  GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                     reinterpret_cast<LPCWSTR>(&LibraryDirectory), &module);
  wchar_t path[MAX_PATH * 4];
  const DWORD length = GetModuleFileNameW(module, path, MAX_PATH * 4);
  std::wstring text(path, length);
  const size_t last = text.rfind(L'\\');
  if (last == std::wstring::npos) return ".\\";
  // The C runtime opens the log and control files: it takes narrow paths in
  // the ANSI code page, so the short path keeps them ASCII.
  std::wstring directory = text.substr(0, last + 1);
  wchar_t shortPath[MAX_PATH * 4];
  const DWORD shortLength = GetShortPathNameW(directory.c_str(), shortPath, MAX_PATH * 4);
  if (shortLength > 0 && shortLength < MAX_PATH * 4) directory.assign(shortPath, shortLength);
  return ToAnsi(directory);
}

std::string EnvironmentValue(const char* name) {
  const DWORD size = GetEnvironmentVariableA(name, nullptr, 0);
  if (size == 0) return {};
  std::string value(size, '\0');
  const DWORD length = GetEnvironmentVariableA(name, &value[0], size);
  value.resize(length);
  return value;
}

FILE* OpenFileForStream(const std::u16string& path, bool append) {
  return _wfopen(reinterpret_cast<const wchar_t*>(path.c_str()), append ? L"ab" : L"wb");
}

}  // namespace testjvm
