// IniFile on the Windows profile functions.
#include <windows.h>

#include <vector>

#include "config/ini_file.h"

namespace javelin {

namespace {

const wchar_t* W(const std::u16string& text) {
  return reinterpret_cast<const wchar_t*>(text.c_str());
}

}  // namespace

uint32_t IniFile::ReadHeader(unsigned char (&buffer)[4]) {
  HANDLE file = CreateFileW(W(path()), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return GetLastError();
  DWORD read = 0;
  const uint32_t result = ReadFile(file, buffer, sizeof buffer, &read, nullptr) ? 0 : GetLastError();
  CloseHandle(file);
  return result;
}

std::u16string IniFile::GetString(const std::u16string& section, const std::u16string& key) {
  // The profile function cuts values to the buffer; a full buffer may mean
  // a longer value, so the buffer doubles until the value fits.
  std::vector<wchar_t> buffer(256);
  DWORD count = 0;
  for (;;) {
    count = GetPrivateProfileStringW(W(section), W(key), L"", buffer.data(),
                                     static_cast<DWORD>(buffer.size()), W(path()));
    if (count != buffer.size() - 1) break;
    buffer.resize(buffer.size() * 2);
  }
  return std::u16string(reinterpret_cast<const char16_t*>(buffer.data()));
}

int IniFile::WriteString(const std::u16string& section, const std::u16string& key,
                         const std::u16string& value) {
  return WritePrivateProfileStringW(W(section), W(key), W(value), W(path()));
}

int IniFile::Delete() { return DeleteFileW(W(path())); }

}  // namespace javelin
