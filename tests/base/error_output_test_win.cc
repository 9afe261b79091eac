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
  }
  ~OwnConsole() {
    FreeConsole();
    SetStdHandle(STD_INPUT_HANDLE, input_);
    SetStdHandle(STD_OUTPUT_HANDLE, output_);
    SetStdHandle(STD_ERROR_HANDLE, error_);
  }
  bool ok() const { return ok_; }

 private:
  HANDLE input_, output_, error_;
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
  if (!console.ok()) GTEST_SKIP() << "no console could be created: " << GetLastError();
  const HANDLE screen = GetStdHandle(STD_OUTPUT_HANDLE);
  DWORD mode = 0;
  ASSERT_TRUE(GetConsoleMode(screen, &mode));
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
