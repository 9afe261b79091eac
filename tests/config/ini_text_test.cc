// The portable INI writer edits only the line it must; the reader rules are
// checked against the profile functions in ini_differential_test.cc.
#include "config/ini_text.h"

#include <gtest/gtest.h>

namespace javelin {
namespace {

TEST(IniText, WritingTouchesOnlyTheLineOfTheKey) {
  const std::u16string text =
      u"; settings of the tool\n"
      u"\n"
      u"[Java Runtime Environment]\n"
      u"  Main Class = app.Main   ; not a comment\n"
      u"  JRE Path = old\n"
      u"\n"
      u"[Application]\n"
      u"Cmd=-v\n";
  EXPECT_EQ(SetIniValue(text, u"java runtime environment", u"jre path", u"/opt/java"),
            u"; settings of the tool\n"
            u"\n"
            u"[Java Runtime Environment]\n"
            u"  Main Class = app.Main   ; not a comment\n"
            u"  JRE Path=/opt/java\n"
            u"\n"
            u"[Application]\n"
            u"Cmd=-v\n");
}

TEST(IniText, NewKeysJoinTheirSectionAndNewSectionsGoLast) {
  const std::u16string text = u"[A]\r\nk=1\r\n\r\n[B]\r\nk=2";
  // After the last line of the section, before the blank line.
  EXPECT_EQ(SetIniValue(text, u"A", u"n", u"new"), u"[A]\r\nk=1\r\nn=new\r\n\r\n[B]\r\nk=2");
  // The last line had no line break: the key still gets a line of its own.
  EXPECT_EQ(SetIniValue(text, u"B", u"n", u"new"), u"[A]\r\nk=1\r\n\r\n[B]\r\nk=2\r\nn=new");
  EXPECT_EQ(SetIniValue(text, u"C", u"n", u"new"),
            u"[A]\r\nk=1\r\n\r\n[B]\r\nk=2\r\n[C]\r\nn=new\r\n");
  // An empty section: right after its header.
  EXPECT_EQ(SetIniValue(u"[E]\n[F]\n", u"E", u"k", u"v"), u"[E]\nk=v\n[F]\n");
  // LF files stay LF; an empty file gets LF.
  EXPECT_EQ(SetIniValue(u"[A]\nk=1\n", u"Z", u"k", u"v"), u"[A]\nk=1\n[Z]\nk=v\n");
  EXPECT_EQ(SetIniValue(u"", u"Java Runtime Environment", u"JRE Path", u"C:\\Java"),
            u"[Java Runtime Environment]\nJRE Path=C:\\Java\n");
  // Keys before the first section belong to the section with the empty name.
  EXPECT_EQ(SetIniValue(u"top=1\n[A]\n", u"", u"top", u"2"), u"top=2\n[A]\n");
  EXPECT_EQ(SetIniValue(u"[A]\n", u"", u"top", u"2"), u"top=2\n[A]\n");
}

TEST(IniText, WrittenValuesReadBackAsWritten) {
  const std::u16string values[] = {u"plain", u"with inner  blanks", u"\u00E4\u20AC\U0001F600",
                                   u"a=b", u";semicolon", u"C:\\Program Files\\Java"};
  std::u16string text = u"[S]\nk=old\n";
  for (const std::u16string& value : values) {
    text = SetIniValue(text, u"S", u"k", value);
    EXPECT_EQ(FindIniValue(text, u"S", u"k"), value);
  }
  // Leading blanks are dropped on writing, trailing ones on reading.
  text = SetIniValue(text, u"S", u"k", u"  padded  ");
  EXPECT_EQ(FindIniValue(text, u"S", u"k"), u"padded");
}

TEST(IniText, EveryEncodingRoundTrips) {
  const std::u16string text = u"[S\u00E4]\r\nk=\u20AC\U0001F600\r\n";
  for (IniEncoding encoding : {IniEncoding::kUtf8, IniEncoding::kUtf8Bom,
                               IniEncoding::kUtf16LeBom, IniEncoding::kUtf16BeBom}) {
    const IniText decoded = DecodeIniBytes(EncodeIniText(text, encoding));
    EXPECT_EQ(decoded.encoding, encoding);
    EXPECT_EQ(decoded.text, text);
  }
  // An odd trailing byte of a UTF-16 file is ignored.
  EXPECT_EQ(DecodeIniBytes(std::string("\xFF\xFE" "a\0b", 5)).text, u"a");
  // Invalid UTF-8 becomes U+FFFD.
  EXPECT_EQ(DecodeIniBytes("k=\xFF").text, u"k=\uFFFD");
}

}  // namespace
}  // namespace javelin
