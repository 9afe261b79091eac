#include "base/error_reporter.h"

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
      {[] { ReportMessage(LoadMessage(kMsgNoMainClass)); },
       "Error: Main class in der INI-Datei nicht spezifiziert. \n"},
      {[] { ReportMessage(LoadMessage(231)); }, "Error:  \n"},  // outside the table: empty
      {[] { ReportWindowsError(kMsgNoCreateJavaVm, 0x80070002u); },
       "Error: Windows Fehler: Kann CreateJavaVM JNI nicht finden (Fehlernummer = -2147024894).\n \n"},
      // The first and last known reasons, and codes outside them.
      {[] { ReportJniError(kMsgCannotCreateJvm, -1); }, jni + "unbekannt.\n \n"},
      {[] { ReportJniError(kMsgCannotCreateJvm, -6); }, jni + "ung\xC3\xBCltige Argumente.\n \n"},
      {[] { ReportJniError(kMsgCannotCreateJvm, -7); }, jni + ".\n \n"},
      {[] { ReportJniError(kMsgCannotCreateJvm, 3); }, jni + ".\n \n"},
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

}  // namespace
}  // namespace javelin
