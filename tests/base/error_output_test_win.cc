// The error line on a real console: the characters land in the screen
// buffer as they are, whatever the console's code page.
#include <windows.h>

#include <gtest/gtest.h>

#include "base/error_reporter.h"
#include "base/text.h"

namespace javelin {
namespace {

// Gives the process a console of its own for one test and puts the previous
// standard handles back afterwards (the C runtime's streams keep theirs).
class OwnConsole {
 public:
  OwnConsole()
      : input_(GetStdHandle(STD_INPUT_HANDLE)),
        output_(GetStdHandle(STD_OUTPUT_HANDLE)),
        error_(GetStdHandle(STD_ERROR_HANDLE)) {
    FreeConsole();
    ok_ = AllocConsole() != 0;
    // A process started with handles of its own keeps them after
    // AllocConsole (so does the test under Wine): point standard output at
    // the new console's screen buffer, as for a program started from one.
    if (ok_) {
      screen_ = CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                            nullptr, OPEN_EXISTING, 0, nullptr);
      ok_ = screen_ != INVALID_HANDLE_VALUE && SetStdHandle(STD_OUTPUT_HANDLE, screen_) != 0;
    }
  }
  ~OwnConsole() {
    if (screen_ != INVALID_HANDLE_VALUE) CloseHandle(screen_);
    FreeConsole();
    SetStdHandle(STD_INPUT_HANDLE, input_);
    SetStdHandle(STD_OUTPUT_HANDLE, output_);
    SetStdHandle(STD_ERROR_HANDLE, error_);
  }
  bool ok() const { return ok_; }

 private:
  HANDLE input_, output_, error_;
  HANDLE screen_ = INVALID_HANDLE_VALUE;
  bool ok_ = false;
};

// The first `count` characters of screen row `row`.
std::u16string ScreenRow(HANDLE console, SHORT row, DWORD count) {
  std::u16string text(count, u' ');
  DWORD read = 0;
  ReadConsoleOutputCharacterW(console, reinterpret_cast<wchar_t*>(&text[0]), count, COORD{0, row}, &read);
  text.resize(read);
  return text;
}

TEST(ErrorOutputOnConsole, CyrillicCjkAndSurrogatePairsReachTheScreenWhole) {
  OwnConsole console;
  const HANDLE screen = GetStdHandle(STD_OUTPUT_HANDLE);
  DWORD mode = 0;
  // Wine makes a working console for a process without one only when it
  // has a display (xvfb-run): without, the screen buffer is no console.
  if (!console.ok() || !GetConsoleMode(screen, &mode)) {
    GTEST_SKIP() << "no console could be created (under Wine: needs DISPLAY)";
  }
  // A code page that has none of these characters.
  SetConsoleOutputCP(437);

  const std::u16string text = u"\u041F\u0443\u0442\u044C \u4E2D\u6587 \U0001D11E end";
  ReportMessage(text);
  ReportMessage(u"second");
  // Each report is one line of its own: the first was not cut short.
  const std::u16string first = ScreenRow(screen, 0, 7 + static_cast<DWORD>(text.size()) + 1);
  EXPECT_EQ(ToUtf8(first), ToUtf8(u"Error: " + text + u" "));
  EXPECT_EQ(ToUtf8(ScreenRow(screen, 1, 14)), "Error: second ");
}

}  // namespace
}  // namespace javelin
