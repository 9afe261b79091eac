// Error reports: the bytes written to a file or pipe and, on Windows, the
// characters that land on a real console whatever its code page.
#include "base/error_reporter.h"

#ifdef _WIN32
#include <windows.h>
#endif

#include <gtest/gtest.h>

#include <functional>

#include "base/file_system.h"
#include "base/message_table.h"

namespace javelin {
namespace {

TEST(ErrorReporter, EveryReportIsPrintedByteForByte) {
  // A file or pipe receives UTF-8 on every platform.
  const std::string jni = "Error: JNI Fehler: konnte die Java VM nicht erzeugen\nReason: ";
  const std::pair<std::function<void()>, std::string> cases[] = {
      {[] { ReportMessage(LoadMessage(231)); }, "Error:  \n"},  // outside the table: empty
      {[] { ReportSystemError(kMsgNoCreateJavaVm, 0x80070002u); },
       "Error: Windows Fehler: Kann CreateJavaVM JNI nicht finden (Fehlernummer = -2147024894).\n "
       "\n"},
      // The first and last known reasons, and codes outside them.
      {[] { ReportJniError(kMsgCannotCreateJvm, -1); }, jni + "unbekannt.\n \n"},
      {[] { ReportJniError(kMsgCannotCreateJvm, -6); }, jni + "ung\xC3\xBCltige Argumente.\n \n"},
      {[] { ReportJniError(kMsgCannotCreateJvm, -7); }, jni + ".\n \n"},
      // Cyrillic, CJK and a character outside the BMP: nothing is cut.
      {[] { ReportMessage(u"\u041F\u0443\u0442\u044C \u4E2D\u6587 \U0001D11E!"); },
       "Error: \xD0\x9F\xD1\x83\xD1\x82\xD1\x8C \xE4\xB8\xAD\xE6\x96\x87 \xF0\x9D\x84\x9E! \n"},
  };
  for (const auto& [report, expected] : cases) {
    testing::internal::CaptureStdout();
    report();
    EXPECT_EQ(testing::internal::GetCapturedStdout(), expected);
  }
  EXPECT_EQ(LoadMessage(201), u"");  // just below the table
  // Missing arguments format as empty text and 0.
  EXPECT_EQ(FormatMessageText(u"100%% %s %d", {}), u"100%  0");
}

#ifdef _WIN32
// The first `count` characters of screen row `row`.
std::string ScreenRow(HANDLE console, SHORT row, DWORD count) {
  std::u16string text(count, u' ');
  DWORD read = 0;
  ReadConsoleOutputCharacterW(console, reinterpret_cast<wchar_t*>(&text[0]), count, COORD{0, row},
                              &read);
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
                                                     FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                                     OPEN_EXISTING, 0, nullptr)
                                       : INVALID_HANDLE_VALUE;
  DWORD mode = 0;
  // Wine makes a working console for a process without one only when it
  // has a display (xvfb-run): without, the screen buffer is no console.
  const bool onConsole = screen != INVALID_HANDLE_VALUE &&
                         SetStdHandle(STD_OUTPUT_HANDLE, screen) && GetConsoleMode(screen, &mode);
  if (onConsole) {
    SetConsoleOutputCP(437);  // a code page that has none of these characters
    const std::u16string text = u"\u041F\u0443\u0442\u044C \u4E2D\u6587 \U0001D11E end";
    ReportMessage(text);
    ReportMessage(u"second");
    // Each report is one line of its own: the first was not cut short.
    EXPECT_EQ(ScreenRow(screen, 0, 7 + static_cast<DWORD>(text.size()) + 1),
              ToUtf8(u"Error: " + text + u" "));
    EXPECT_EQ(ScreenRow(screen, 1, 14), "Error: second ");
  }
  if (screen != INVALID_HANDLE_VALUE) CloseHandle(screen);
  FreeConsole();
  SetStdHandle(STD_INPUT_HANDLE, input);
  SetStdHandle(STD_OUTPUT_HANDLE, output);
  SetStdHandle(STD_ERROR_HANDLE, error);
  if (!onConsole) GTEST_SKIP() << "no console could be created (under Wine: needs DISPLAY)";
}
#endif

}  // namespace
}  // namespace javelin
