#include <windows.h>

#include "base/error_reporter.h"

namespace javelin {

bool ShowErrorDialog(const std::u16string& title, const std::u16string& text) {
  std::wstring shownTitle(title.begin(), title.end());
  if (shownTitle.empty()) {
    // The executable's file name, as Explorer shows it.
    wchar_t path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    shownTitle.assign(path, length);
    shownTitle.erase(0, shownTitle.find_last_of(L"\\/") + 1);
  }
  const std::wstring shownText(text.begin(), text.end());
  return MessageBoxW(nullptr, shownText.c_str(), shownTitle.c_str(),
                     MB_OK | MB_ICONERROR | MB_SETFOREGROUND) != 0;
}

}  // namespace javelin
