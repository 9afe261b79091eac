// Helpers of the window tests. Wine draws windows on an X display; without
// one the window tests skip.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace javelin::test {

inline bool HasDisplay() {
  wchar_t value[8];
  return GetEnvironmentVariableW(L"DISPLAY", value, 8) > 0;
}

inline std::wstring Wide(const std::u16string& text) { return {text.begin(), text.end()}; }

// A stand-in for ShellExecuteW that records "verb file show" and answers
// `openResult` (above 32: success).
inline std::vector<std::wstring> openedLinks;
inline INT_PTR openResult = 42;
inline HINSTANCE WINAPI RecordOpen(HWND, const wchar_t* verb, const wchar_t* file, const wchar_t*,
                                   const wchar_t*, int show) {
  openedLinks.push_back(std::wstring(verb) + L" " + file + L" " + std::to_wstring(show));
  return reinterpret_cast<HINSTANCE>(openResult);
}

}  // namespace javelin::test

#define SKIP_WITHOUT_DISPLAY()                   \
  if (!::javelin::test::HasDisplay())            \
  GTEST_SKIP() << "needs an X display for Wine " \
                  "(tools/with-display.sh)"
