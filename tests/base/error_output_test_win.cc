// The error line on a real console: the characters land in the screen
// buffer as they are, whatever the console's code page.
#include <windows.h>

#include <gtest/gtest.h>

#include "base/error_reporter.h"
#include "base/text.h"

namespace javelin {
namespace {

// The first `count` characters of screen row `row`.
std::string ScreenRow(HANDLE console, SHORT row, DWORD count) {
  std::u16string text(count, u' ');
  DWORD read = 0;
  ReadConsoleOutputCharacterW(console, reinterpret_cast<wchar_t*>(&text[0]), count, COORD{0, row}, &read);
  text.resize(read);
  return ToUtf8(text);
}

TEST(ErrorOutputOnConsole, CyrillicCjkAndSurrogatePairsReachTheScreenWhole) {
  // A console of its own; the previous standard handles come back afterwards
  // (the C runtime's streams keep theirs).
  const HANDLE input = GetStdHandle(STD_INPUT_HANDLE), output = GetStdHandle(STD_OUTPUT_HANDLE),
               error = GetStdHandle(STD_ERROR_HANDLE);
  FreeConsole();
  // A process started with handles of its own keeps them after AllocConsole
  // (so does the test under Wine): point standard output at the new
  // console's screen buffer, as for a program started from one.
  const HANDLE screen = AllocConsole() ? CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE,
                                                     FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                                                     nullptr)
                                       : INVALID_HANDLE_VALUE;
  DWORD mode = 0;
  // Wine makes a working console for a process without one only when it
  // has a display (xvfb-run): without, the screen buffer is no console.
  const bool onConsole =
      screen != INVALID_HANDLE_VALUE && SetStdHandle(STD_OUTPUT_HANDLE, screen) && GetConsoleMode(screen, &mode);
  if (onConsole) {
    SetConsoleOutputCP(437);  // a code page that has none of these characters
    const std::u16string text = u"\u041F\u0443\u0442\u044C \u4E2D\u6587 \U0001D11E end";
    ReportMessage(text);
    ReportMessage(u"second");
    // Each report is one line of its own: the first was not cut short.
    EXPECT_EQ(ScreenRow(screen, 0, 7 + static_cast<DWORD>(text.size()) + 1), ToUtf8(u"Error: " + text + u" "));
    EXPECT_EQ(ScreenRow(screen, 1, 14), "Error: second ");
  }
  if (screen != INVALID_HANDLE_VALUE) CloseHandle(screen);
  FreeConsole();
  SetStdHandle(STD_INPUT_HANDLE, input);
  SetStdHandle(STD_OUTPUT_HANDLE, output);
  SetStdHandle(STD_ERROR_HANDLE, error);
  if (!onConsole) GTEST_SKIP() << "no console could be created (under Wine: needs DISPLAY)";
}

}  // namespace
}  // namespace javelin
