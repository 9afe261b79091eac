// IniFile on the Windows profile functions.
#include <windows.h>

#include <vector>

#include "base/win_support.h"
#include "config/ini_file.h"

namespace javelin {

// The profile functions keep nothing here between lookups.
struct IniFile::State {};

IniFile::IniFile(std::u16string path) : path_(std::move(path)) {}
IniFile::~IniFile() = default;

uint32_t IniFile::ReadHeader(unsigned char (&buffer)[4]) {
  const ScopedKernelHandle file(CreateFileW(W(path()), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                            FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return GetLastError();
  DWORD read = 0;
  return ReadFile(file.get(), buffer, sizeof buffer, &read, nullptr) ? 0 : GetLastError();
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
