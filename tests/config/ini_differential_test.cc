// One table of tricky INI files and the values they must give. The same
// table runs on Linux against Javelin's own reader and under Wine against
// the real GetPrivateProfileStringW, so both readers agree on every case.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/text.h"
#include "config/ini_file.h"
#include "support/test_support.h"

namespace javelin {
namespace {

using test::TempDir;

struct Lookup {
  std::u16string section;
  std::u16string key;
  std::u16string expected;
};

struct IniCase {
  IniCase(const char* name, std::string bytes, std::vector<Lookup> lookups,
          std::vector<std::u16string> sectionNames = {})
      : name(name), bytes(std::move(bytes)), lookups(std::move(lookups)),
        sectionNames(std::move(sectionNames)) {}
  const char* name;
  std::string bytes;
  std::vector<Lookup> lookups;
  std::vector<std::u16string> sectionNames;  // checked when not empty
};

std::string Utf8Bom(const std::string& text) { return "\xEF\xBB\xBF" + text; }

std::string Utf16Le(const std::u16string& text, bool withMark) {
  std::string bytes = withMark ? "\xFF\xFE" : "";
  for (char16_t unit : text) {
    bytes.push_back(static_cast<char>(unit & 0xFF));
    bytes.push_back(static_cast<char>(unit >> 8));
  }
  return bytes;
}

std::string Utf16Be(const std::u16string& text) {
  std::string bytes = "\xFE\xFF";
  for (char16_t unit : text) {
    bytes.push_back(static_cast<char>(unit >> 8));
    bytes.push_back(static_cast<char>(unit & 0xFF));
  }
  return bytes;
}

// A literal with NUL characters inside, kept whole.
template <size_t N>
std::u16string WithNuls(const char16_t (&literal)[N]) {
  return std::u16string(literal, N - 1);
}

std::vector<IniCase> Corpus() {
  using namespace std::string_literals;
  const std::string longValue(300, 'v');
  const std::string hugeValue(100000, 'h');
  return {
      {"blanks around names and values",
       "[Sec]\r\n  key1   =   spaced value   \r\ntab\t=\tv\t\r\n\v\fvt\f=\f\vform feeds\v\r\n",
       {{u"Sec", u"key1", u"spaced value"},
        {u" Sec ", u" key1 ", u"spaced value"},
        {u"Sec", u"tab", u"v"},
        {u"Sec", u"vt", u"form feeds"}}},
      {"names ignore letter case",
       "[MixedCase]\r\nKEY=upper\r\n",
       {{u"mixedcase", u"key", u"upper"}, {u"MIXEDCASE", u"Key", u"upper"}}},
      {"first key of a name wins",
       "[Sec]\r\nKEY2=upper\r\nkey2=second\r\n",
       {{u"Sec", u"key2", u"upper"}}},
      {"only the first section of a name is searched",
       "[Sec]\r\nkey=first\r\n[Other]\r\nx=1\r\n[sec]\r\nkey=second block\r\ndup=in second\r\n",
       {{u"Sec", u"key", u"first"}, {u"Sec", u"dup", u""}, {u"Other", u"x", u"1"}},
       {u"Sec", u"Other", u"sec"}},
      {"quotes around a whole value",
       "[Q]\r\nq1=\"a b\"\r\nq2='x'\r\nq3=\"unbalanced\r\nq4=\"\r\nq5=\"\"\r\n"
       "q6=\" padded \"   \r\nq7=\"a\"b\"\r\nq8='mixed\"\r\nq9= \"x\" \r\nq10=a\"b\"\r\n",
       {{u"Q", u"q1", u"a b"},
        {u"Q", u"q2", u"x"},
        {u"Q", u"q3", u"\"unbalanced"},
        {u"Q", u"q4", u"\""},
        {u"Q", u"q5", u""},
        {u"Q", u"q6", u" padded "},
        {u"Q", u"q7", u"a\"b"},
        {u"Q", u"q8", u"'mixed\""},
        {u"Q", u"q9", u"x"},
        {u"Q", u"q10", u"a\"b\""}}},
      {"comment lines never match a key",
       "[C]\r\n;c1=comment\r\n#h1=hash\r\n  ; c2 = indented\r\nreal=1\r\n",
       {{u"C", u"c1", u""},
        {u"C", u"h1", u""},
        {u"C", u"c2", u""},
        {u"C", u"real", u"1"},
        // The profile functions keep such lines as keys named with the mark.
        {u"C", u";c1", u"comment"},
        {u"C", u"#h1", u"hash"}}},
      {"lines without a value",
       "[L]\r\nnoequals\r\nempty=\r\nblanks=   \r\neq=a=b\r\n=novalue\r\n",
       {{u"L", u"noequals", u""},
        {u"L", u"empty", u""},
        {u"L", u"blanks", u""},
        {u"L", u"eq", u"a=b"},
        {u"L", u"", u"novalue"}}},
      {"keys before any section",
       "before=1\r\n[S]\r\nk=s\r\n",
       {{u"", u"before", u"1"}, {u"S", u"before", u""}, {u"S", u"k", u"s"}},
       {u"S"}},
      {"an empty section name",
       "[]\r\nk=e\r\n[S]\r\nk=s\r\n",
       {{u"", u"k", u""}, {u"S", u"k", u"s"}},
       {u"S"}},
      {"section header forms",
       "[sec2] trailing text\r\nk=v2\r\n[ spaced name ]\r\nk=v3\r\n[a]b]\r\nk=v4\r\n"
       "[broken\r\nk=v5\r\n  [Indented]  \r\nk=v6\r\n[Empty]\r\n",
       {{u"sec2", u"k", u"v2"},
        {u"spaced name", u"k", u"v3"},
        {u" spaced name ", u"k", u"v3"},
        {u"a]b", u"k", u"v4"},
        {u"a", u"k", u""},
        {u"broken", u"k", u""},
        {u"[broken", u"k", u""},
        {u"Indented", u"k", u"v6"},
        {u"Empty", u"k", u""}},
       {u"sec2", u"spaced name", u"a]b", u"Indented", u"Empty"}},
      {"line ends LF, CR and CRLF",
       "[LF]\n k = lf \n[CR]\rk=cr only\r\r[CRLF]\r\nk=crlf\r\n\r\n\n[End]\nk=no final break",
       {{u"LF", u"k", u"lf"},
        {u"CR", u"k", u"cr only"},
        {u"CRLF", u"k", u"crlf"},
        {u"End", u"k", u"no final break"}}},
      {"Ctrl-Z counts as a blank",
       "[Z]\r\nk=\x1A" "ctrlz\x1A\r\n\x1A",
       {{u"Z", u"k", u"ctrlz"}}},
      {"values longer than one buffer",
       "[Long]\r\nk=" + longValue + "\r\nhuge=" + hugeValue + "\r\nafter=1\r\n",
       {{u"Long", u"k", FromUtf8(longValue)},
        {u"Long", u"huge", FromUtf8(hugeValue)},
        {u"Long", u"after", u"1"}}},
      {"UTF-8 with a byte-order mark",
       Utf8Bom("[Sec]\r\nk=\xC3\xA4\xE2\x82\xAC\r\n[\xC3\x84" "bc]\r\nk=upper umlaut\r\n"),
       {{u"Sec", u"k", u"\u00E4\u20AC"},
        {u"\u00C4bc", u"k", u"upper umlaut"},
        // Letter case is ignored for ASCII letters only.
        {u"\u00E4bc", u"k", u""}},
       {u"Sec", u"\u00C4bc"}},
      {"UTF-16LE with a byte-order mark",
       Utf16Le(u"[Sec]\r\nk=\u00A0 nb \u00A0\r\nn=\u0085x\u0085\r\ni=\u3000ideo\u3000\r\n"
               u"[\u0416]\r\nk=cyrillic\r\n",
               true),
       {{u"Sec", u"k", u"\u00A0 nb \u00A0"},
        {u"Sec", u"n", u"\u0085x\u0085"},
        {u"Sec", u"i", u"\u3000ideo\u3000"},
        {u"\u0416", u"k", u"cyrillic"},
        {u"\u0436", u"k", u""}}},
      {"NUL characters end names and values",
       Utf16Le(WithNuls(u"[S]\r\nz=a\0b\r\n[N\0ul]\r\nk=nul\r\n[Key]\r\nab\0cd=nk\r\n"), true),
       {{u"S", u"z", u"a"}, {u"N", u"k", u"nul"}, {u"Key", u"ab", u"nk"}},
       {u"S", u"N", u"Key"}},
      {"UTF-16BE with a byte-order mark",
       Utf16Be(u"[Sec]\r\nk=be\r\n"),
       {{u"Sec", u"k", u"be"}}},
      {"UTF-16 without a byte-order mark gives nothing",
       Utf16Le(u"[Sec]\r\nk=v\r\n", false),
       {{u"Sec", u"k", u""}}},
      {"an empty file",
       "",
       {{u"Sec", u"k", u""}}},
  };
}

TEST(IniDifferential, TrickyFilesGiveTheSameValuesAsTheProfileFunctions) {
  TempDir dir;
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
    if (!item.sectionNames.empty()) {
      EXPECT_EQ(ini.GetSectionNames(), item.sectionNames) << item.name;
    }
  }
}

TEST(IniDifferential, AMissingFileReadsAsEmpty) {
  TempDir dir;
  IniFile ini(dir / u"absent.ini");
  EXPECT_EQ(ini.GetString(u"Sec", u"k"), u"");
  EXPECT_TRUE(ini.GetSectionNames().empty());
}

}  // namespace
}  // namespace javelin
