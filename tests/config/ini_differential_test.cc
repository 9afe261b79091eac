// One table of tricky INI files and the values they must give. It runs on
// Linux against Javelin's own reader and under Wine against the real
// GetPrivateProfileStringW, so both readers agree on every case.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "config/ini_file.h"
#include "support/test_support.h"

namespace javelin {
namespace {

struct Lookup {
  std::u16string section, key, expected;
};
struct IniCase {
  const char* name;
  std::string bytes;
  std::vector<Lookup> lookups;
};

std::string Utf16(const std::u16string& text, const std::string& mark) {
  std::string bytes = mark;
  for (char16_t unit : text)
    bytes += std::string{static_cast<char>(unit & 0xFF), static_cast<char>(unit >> 8)};
  return bytes;
}

std::vector<IniCase> Corpus() {
  const std::string longValue(256, 'v'), hugeValue(1 << 20, 'h');
  return {
      {"blanks around names and values",
       "[Sec]\r\n  key1   =   spaced value   \r\ntab\t=\tv\t\r\n\v\fvt\f=\f\vform feeds\v\r\n",
       {{u" Sec ", u" key1 ", u"spaced value"},
        {u"Sec", u"tab", u"v"},
        {u"Sec", u"vt", u"form feeds"}}},
      {"letter case, first key and first section of a name win",
       "[Sec]\r\nKEY=first\r\nkey=second\r\n[Other]\r\nx=1\r\n[sec]\r\nkey=third\r\ndup=d\r\n",
       {{u"SEC", u"key", u"first"}, {u"Sec", u"dup", u""}, {u"Other", u"x", u"1"}}},
      {"quotes around a whole value",
       "[Q]\r\nq1=\"a b\"\r\nq2='x'\r\nq3=\"unbalanced\r\nq4=\"\r\nq5=\"\"\r\n"
       "q6=\" padded \"   \r\nq7=\"a\"b\"\r\nq8='mixed\"\r\nq9=a\"b\"\r\nq10= \"x\" \r\n",
       {{u"Q", u"q1", u"a b"},
        {u"Q", u"q2", u"x"},
        {u"Q", u"q3", u"\"unbalanced"},
        {u"Q", u"q4", u"\""},
        {u"Q", u"q5", u""},
        {u"Q", u"q6", u" padded "},
        {u"Q", u"q7", u"a\"b"},
        {u"Q", u"q8", u"'mixed\""},
        {u"Q", u"q9", u"a\"b\""},
        {u"Q", u"q10", u"x"}}},
      {"comment lines are keys named with the mark",
       "[C]\r\n;c1=comment\r\n#h1=hash\r\n  ; c2 = indented\r\nreal=1\r\n",
       {{u"C", u"c1", u""},
        {u"C", u"c2", u""},
        {u"C", u"real", u"1"},
        {u"C", u";c1", u"comment"},
        {u"C", u"#h1", u"hash"}}},
      {"lines without a value",
       "[L]\r\nnoequals\r\nempty=\r\nblanks=   \r\neq=a=b\r\n=novalue\r\n",
       {{u"L", u"noequals", u""},
        {u"L", u"blanks", u""},
        {u"L", u"eq", u"a=b"},
        {u"L", u"", u"novalue"}}},
      {"section header forms",
       "[sec2] trailing text\r\nk=v2\r\n[ spaced name ]\r\nk=v3\r\n[a]b]\r\nk=v4\r\n"
       "[broken\r\nk=v5\r\n  [Indented]  \r\nk=v6\r\n[Empty]\r\n",
       {{u"sec2", u"k", u"v2"},
        {u"spaced name", u"k", u"v3"},
        {u"a]b", u"k", u"v4"},
        {u"a", u"k", u""},
        {u"broken", u"k", u""},
        {u"Indented", u"k", u"v6"},
        {u"Empty", u"k", u""}}},
      {"line ends LF, CR and CRLF; Ctrl-Z counts as a blank",
       "[LF]\n k = lf \n[CR]\rk=cr only\r\r[CRLF]\r\nk=\x1A"
       "crlf\x1A\r\n\r\n\n[End]\nk=no final break",
       {{u"LF", u"k", u"lf"},
        {u"CR", u"k", u"cr only"},
        {u"CRLF", u"k", u"crlf"},
        {u"End", u"k", u"no final break"}}},
      {"values longer than one buffer",
       "[Long]\r\nk=" + longValue + "\r\nhuge=" + hugeValue + "\r\nafter=1\r\n",
       {{u"Long", u"k", FromUtf8(longValue)},
        {u"Long", u"huge", FromUtf8(hugeValue)},
        {u"Long", u"after", u"1"}}},
      {"UTF-8 with a byte-order mark; case is ignored for ASCII letters only",
       "\xEF\xBB\xBF[Sec]\r\nk=\xC3\xA4\xE2\x82\xAC\r\n[\xC3\x84"
       "bc]\r\nk=upper umlaut\r\n",
       {{u"Sec", u"k", u"\u00E4\u20AC"},
        {u"\u00C4bc", u"k", u"upper umlaut"},
        {u"\u00E4bc", u"k", u""}}},
      {"UTF-16LE with a byte-order mark",
       Utf16(u"[Sec]\r\nk=\u00A0 nb \u00A0\r\ni=\u3000ideo\u3000\r\n[\u0416]\r\nk=cyrillic\r\n",
             "\xFF\xFE"),
       {{u"Sec", u"k", u"\u00A0 nb \u00A0"},
        {u"Sec", u"i", u"\u3000ideo\u3000"},
        {u"\u0416", u"k", u"cyrillic"},
        {u"\u0436", u"k", u""}}},
      {"an empty file", "", {{u"Sec", u"k", u""}}},
  };
}

TEST(IniDifferential, TrickyFilesGiveTheSameValuesAsTheProfileFunctions) {
  test::TempDir dir;
  int number = 0;
  for (const IniCase& item : Corpus()) {
    // A file of its own per case: the profile functions may cache by path.
    const std::u16string path = dir / (u"case" + ToDecimal(++number) + u".ini");
    test::WriteFile(path, item.bytes);
    IniFile ini(path);
    for (const Lookup& lookup : item.lookups) {
      EXPECT_EQ(ini.GetString(lookup.section, lookup.key), lookup.expected)
          << item.name << ": [" << ToUtf8(lookup.section) << "] " << ToUtf8(lookup.key);
    }
  }
  IniFile missing(dir / u"absent.ini");
  EXPECT_EQ(missing.GetString(u"Sec", u"k"), u"");
}

}  // namespace
}  // namespace javelin
