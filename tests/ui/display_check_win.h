// Wine draws windows on an X display; without one the window tests skip.
#pragma once

#include <windows.h>

namespace javelin::test {

inline bool HasDisplay() {
  wchar_t value[8];
  return GetEnvironmentVariableW(L"DISPLAY", value, 8) > 0;
}

}  // namespace javelin::test

#define SKIP_WITHOUT_DISPLAY()                                                       \
  if (!::javelin::test::HasDisplay()) GTEST_SKIP() << "needs an X display for Wine " \
                                                      "(tools/with-display.sh)"
