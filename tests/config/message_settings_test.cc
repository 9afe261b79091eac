// The texts a user sees, as the configuration chooses them: German by
// default, English with "Message Language", single texts replaced through
// [Messages] when their placeholders match.
#include <gtest/gtest.h>

#include "base/message_table.h"
#include "base/scoped_environment.h"
#include "config/settings.h"
#include "support/test_support.h"

namespace javelin {
namespace {

class MessageSettingsTest : public ::testing::Test {
 protected:
  MessageSettingsTest() { environment_.RedirectUserSettings(dir_ / u"user"); }
  ~MessageSettingsTest() override { ResetMessageTexts(); }

  // Reads a configuration of `lines` (a file of its own each time: the
  // Windows profile functions may keep a file they have read); true when it
  // had a main class. The reports in the configured language are checked
  // end to end in tests/e2e/desktop_test_*.
  bool Read(const std::string& lines) {
    const std::u16string path = dir_ / (u"tool" + ToDecimal(++files_) + u".ini");
    test::WriteFile(path, lines);
    return static_cast<bool>(
        ReadSettings(DiskIniSource(), ProcessContext{dir_ / u"tool.exe", dir_.path(), path, {}}));
  }

  test::TempDir dir_;
  test::ScopedEnvironment environment_;
  int files_ = 0;
};

TEST_F(MessageSettingsTest, LanguageAndReplacementsChooseEachText) {
  const std::string main = "[Java Runtime Environment]\r\nMain Class=a.B\r\n";
  const std::u16string german222 =
      u"Konnte Java VM Bibliothek: %s (Fehlernummer= %d) nicht laden.\n";
  struct Case {
    std::string lines;
    std::u16string text210, text222, title, cancel;
  } cases[] = {
      // Nothing configured, or a language without a set of its own: German.
      {"", u"Main class in der INI-Datei nicht spezifiziert.", german222, u"JRE nicht gefunden",
       u"Abbrechen"},
      {"[Application]\r\nMessage Language=fr\r\n",
       u"Main class in der INI-Datei nicht spezifiziert.", german222, u"JRE nicht gefunden",
       u"Abbrechen"},
      // English in any letter case, also from the "+" section.
      {"[Application]\r\nMessage Language=EN\r\n", u"Main class not specified in the INI file.",
       u"Could not load the Java VM library: %s (error number = %d).\n", u"JRE not found",
       u"Cancel"},
      {"[Application+]\r\nMessage Language=en\r\n", u"Main class not specified in the INI file.",
       u"Could not load the Java VM library: %s (error number = %d).\n", u"JRE not found",
       u"Cancel"},
      // Replacements win over either language; names in any case; a
      // replacement whose placeholders differ (order, number, kind) is
      // ignored and the language's own text stays.
      {"[Application]\r\nMessage Language=en\r\n[Messages]\r\n210=Bitte neu installieren.\r\n"
       "222=Fehler %d bei %s\r\ndialog title=Java fehlt\r\n",
       u"Bitte neu installieren.", u"Could not load the Java VM library: %s (error number = %d).\n",
       u"Java fehlt", u"Cancel"},
      {"[Messages]\r\n222=Kein Java in %s (%d), 100%% sicher\r\n210=%s fehlt\r\nDialog Cancel=Nein "
       "%d\r\n",
       u"Main class in der INI-Datei nicht spezifiziert.", u"Kein Java in %s (%d), 100%% sicher",
       u"JRE nicht gefunden", u"Abbrechen"},
  };
  for (const Case& c : cases) {
    ASSERT_TRUE(Read(main + c.lines)) << c.lines;
    EXPECT_EQ(LoadMessage(kMsgNoMainClass), c.text210) << c.lines;
    EXPECT_EQ(LoadMessage(kMsgCannotLoadJvmLibrary), c.text222) << c.lines;
    EXPECT_EQ(LoadDialogText(DialogText::kTitle), c.title) << c.lines;
    EXPECT_EQ(LoadDialogText(DialogText::kCancelButton), c.cancel) << c.lines;
  }
  // The next configuration starts from the German texts again.
  ASSERT_TRUE(Read(main));
  EXPECT_FALSE(MessageTextsCustomised());
}

}  // namespace
}  // namespace javelin
