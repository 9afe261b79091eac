// Where the portable INI writer puts a value; everything else stays as it was.
#include "config/ini_text.h"

#include <gtest/gtest.h>

namespace javelin {
namespace {

TEST(IniText, AValueGoesToItsKeyLineOrTheEndOfItsSection) {
  const std::u16string text = u"; c\r\n[A]\r\n  k = 1  ; not a comment\r\n\r\n[B]\r\nk=2";
  const struct {
    std::u16string text, section, key, result;
  } cases[] = {
      {text, u"a", u"K", u"; c\r\n[A]\r\n  k=v\r\n\r\n[B]\r\nk=2"},
      {text, u"A", u"n", u"; c\r\n[A]\r\n  k = 1  ; not a comment\r\nn=v\r\n\r\n[B]\r\nk=2"},
      {text, u"B", u"n", text + u"\r\nn=v"},
      {text, u"C", u"n", text + u"\r\n[C]\r\nn=v\r\n"},
      {u"[E]\n[F]\n", u"E", u"k", u"[E]\nk=v\n[F]\n"},
      {u"", u"S", u"k", u"[S]\nk=v\n"},
      {u"top=1\n[A]\n", u"", u"top", u"top=v\n[A]\n"},
  };
  for (const auto& item : cases) {
    EXPECT_EQ(SetIniValue(item.text, item.section, item.key, u"  v"), item.result) << ToUtf8(item.key);
  }
}

}  // namespace
}  // namespace javelin
