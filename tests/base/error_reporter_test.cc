#include "base/error_reporter.h"

#include <gtest/gtest.h>

#include "base/message_table.h"
#include "base/text.h"

namespace javelin {
namespace {

// Non-ASCII letters leave as UTF-8 on POSIX; the Windows C runtime's wide
// output writes them in the C locale's single-byte form.
#ifdef _WIN32
const std::string kUUmlaut = "\xFC";
const std::string kAUmlaut = "\xC4";
#else
const std::string kUUmlaut = "\xC3\xBC";
const std::string kAUmlaut = "\xC3\x84";
#endif

std::string Captured(void (*report)()) {
  testing::internal::CaptureStdout();
  report();
  return testing::internal::GetCapturedStdout();
}

TEST(ErrorReporter, PlainTextsEndInBlankAndOneLineFeed) {
  EXPECT_EQ(Captured([] { ReportMessage(LoadMessage(kMsgNoMainClass)); }),
            "Error: Main class in der INI-Datei nicht spezifiziert. \n");
  EXPECT_EQ(Captured([] { ReportMessage(LoadMessage(kMsgNoClassPath)); }),
            "Error: Java-Klassenpfad wurde in der INI-Datei nicht angegeben. \n");
  // Ids outside the table are empty texts: "Error:", two blanks, line feed.
  EXPECT_EQ(LoadMessage(201), u"");
  EXPECT_EQ(LoadMessage(231), u"");
  EXPECT_EQ(Captured([] { ReportMessage(LoadMessage(231)); }), "Error:  \n");
}

TEST(ErrorReporter, WindowsErrorsDoubleTheLineFeedAndPrintCodesSigned) {
  EXPECT_EQ(Captured([] { ReportWindowsError(kMsgModulePath, 5); }),
            "Error: Windows Fehler: konnte den Modulpfad nicht finden (Fehlernummer = 5).\n \n");
  EXPECT_EQ(Captured([] { ReportWindowsError(kMsgNoCreateJavaVm, 0x80070002u); }),
            "Error: Windows Fehler: Kann CreateJavaVM JNI nicht finden (Fehlernummer = -2147024894).\n \n");
}

TEST(ErrorReporter, JniErrorsCarryTheReasonOnTheSecondLine) {
  const std::string reasons[] = {"unbekannt",
                                 "Thread von der VM getrennt",
                                 "JNI Versionsfehler",
                                 "nicht gen" + kUUmlaut + "gend Arbeitsspeicher",
                                 "VM bereits erzeugt",
                                 "ung" + kUUmlaut + "ltige Argumente"};
  for (int code = -1; code >= -6; --code) {
    static int current;
    current = code;
    EXPECT_EQ(Captured([] { ReportJniError(kMsgCannotCreateJvm, current); }),
              std::string("Error: JNI Fehler: konnte die Java VM nicht erzeugen\nReason: ") +
                  reasons[-code - 1] + ".\n \n");
  }
  // Codes without a reason still print both lines.
  EXPECT_EQ(Captured([] { ReportJniError(kMsgCannotCreateJvm, -7); }),
            "Error: JNI Fehler: konnte die Java VM nicht erzeugen\nReason: .\n \n");
  EXPECT_EQ(Captured([] { ReportJniError(kMsgCannotCreateJvm, 3); }),
            "Error: JNI Fehler: konnte die Java VM nicht erzeugen\nReason: .\n \n");
}

TEST(ErrorReporter, FormattedReportsSubstituteTheArgument) {
  EXPECT_EQ(Captured([] { ReportFormatted(LoadMessage(kMsgMainClassNotFound), u"com/example/\u00C4pp"); }),
            "Error: Konnte die Main class com/example/" + kAUmlaut + "pp nicht finden.\n \n");
  EXPECT_EQ(FormatMessageText(LoadMessage(kMsgCannotLoadJvmLibrary), {u"C:\\j\\jvm.dll", 193}),
            u"Konnte Java VM Bibliothek: C:\\j\\jvm.dll (Fehlernummer= 193) nicht laden.\n");
  // Missing arguments format as empty text and 0.
  EXPECT_EQ(FormatMessageText(u"100%% %s %d", {}), u"100%  0");
}

}  // namespace
}  // namespace javelin
