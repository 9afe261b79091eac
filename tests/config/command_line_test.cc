// How a command line becomes the application's arguments.
#include "config/command_line.h"

#include <gtest/gtest.h>

#include <set>

namespace javelin {
namespace {

TextList Split(const std::u16string& text) {
  TextList tokens;
  SplitArguments(text, tokens);
  return tokens;
}

TEST(CommandLine, TheProgramNameIsDroppedAndNothingElse) {
  EXPECT_EQ(ParseCommandLine(u"tool.exe"), TextList{});
  EXPECT_EQ(ParseCommandLine(u"\"C:\\Program Files\\App\\tool.exe\""), TextList{});
  EXPECT_EQ(ParseCommandLine(u""), TextList{});
  EXPECT_EQ(ParseCommandLine(u"   "), TextList{});
  // Arguments that look like options are the application's too.
  EXPECT_EQ(ParseCommandLine(u"tool -Xmx1g --help /?"), (TextList{u"-Xmx1g", u"--help", u"/?"}));
}

TEST(CommandLine, QuotesGroupBlanksWithoutEscapes) {
  EXPECT_EQ(ParseCommandLine(u"\"C:\\Program Files\\App\\tool.exe\"  one   \"two three\" \"\""),
            (TextList{u"one", u"two three", u""}));
  // A quote inside a token is an ordinary character.
  EXPECT_EQ(ParseCommandLine(u"tool a\"b c\""), (TextList{u"a\"b", u"c\""}));
  // A closing quote always ends a token.
  EXPECT_EQ(ParseCommandLine(u"tool \"abc\"def"), (TextList{u"abc", u"def"}));
  EXPECT_EQ(ParseCommandLine(u"tool \"a\"\"b\""), (TextList{u"a", u"b"}));
  // Backslashes do not escape quotes.
  EXPECT_EQ(ParseCommandLine(u"tool C:\\path\\ \"word\""), (TextList{u"C:\\path\\", u"word"}));
  EXPECT_EQ(ParseCommandLine(u"tool \"C:\\path\\\" x"), (TextList{u"C:\\path\\", u"x"}));
  EXPECT_EQ(ParseCommandLine(u"tool a\\\"b"), (TextList{u"a\\\"b"}));
  EXPECT_EQ(ParseCommandLine(u"tool a \"\" b"), (TextList{u"a", u"", u"b"}));
}

TEST(CommandLine, AnUnterminatedQuoteTakesTheRest) {
  EXPECT_EQ(ParseCommandLine(u"tool \"word"), (TextList{u"word"}));
  EXPECT_EQ(ParseCommandLine(u"tool \"two words  and more"), (TextList{u"two words  and more"}));
  // A quote at the very end is an empty last argument.
  EXPECT_EQ(ParseCommandLine(u"tool x \""), (TextList{u"x", u""}));
  // An unterminated quoted program name swallows everything.
  EXPECT_EQ(ParseCommandLine(u"\"C:\\tool.exe a b"), TextList{});
}

TEST(CommandLine, WhiteSpaceAtTheEndsIsDroppedButOnlyBlanksSeparate) {
  EXPECT_EQ(ParseCommandLine(u"\t \u00A0tool a\tb \u3000\t\r\n"), (TextList{u"a\tb"}));
  EXPECT_EQ(ParseCommandLine(u"\u2003tool\u2003x\u2003"), TextList{});
  EXPECT_EQ(ParseCommandLine(u"tool  \u00A0x\u00A0 "), (TextList{u"\u00A0x"}));

  for (char16_t c : {u'\t', u'\n', u'\v', u'\f', u'\r', u' ', u'\u0085', u'\u00A0', u'\u1680',
                     u'\u2000', u'\u200A', u'\u2028', u'\u2029', u'\u202F', u'\u205F', u'\u3000'}) {
    EXPECT_TRUE(IsCommandLineWhiteSpace(c)) << static_cast<int>(c);
  }
  for (char16_t c : {u'a', u'\0', u'\x1C', u'\x1F', u'\u00AD', u'\u180E', u'\u200B', u'\uFEFF',
                     u'\u3001'}) {
    EXPECT_FALSE(IsCommandLineWhiteSpace(c)) << static_cast<int>(c);
  }
}

TEST(CommandLine, CmdTextSplitsTheSameWayAndAppends) {
  TextList arguments{u"from-command-line"};
  SplitArguments(u"-v  \"\"", arguments);
  EXPECT_EQ(arguments, (TextList{u"from-command-line", u"-v", u""}));
  EXPECT_EQ(Split(u""), TextList{});
  EXPECT_EQ(Split(u"   "), (TextList{u""}));
  // A leading blank gives an empty first token; trailing blanks give none.
  EXPECT_EQ(Split(u" -v  "), (TextList{u"", u"-v"}));
  EXPECT_EQ(Split(u"\""), (TextList{u""}));
  EXPECT_EQ(Split(u"\"\"\"\""), (TextList{u"", u""}));
}

TEST(CommandLine, ArgumentBytesDecodeWithoutLoss) {
  EXPECT_EQ(DecodeArgumentBytes("plain"), u"plain");
  EXPECT_EQ(DecodeArgumentBytes("\xC3\xA4\xE2\x82\xAC\xF0\x9F\x98\x80"), u"\u00E4\u20AC\U0001F600");
  // Bytes that are not UTF-8 keep their value in U+DC80..U+DCFF.
  EXPECT_EQ(DecodeArgumentBytes("a\xFF" "b"), u"a\xDCFF" u"b");
  EXPECT_EQ(DecodeArgumentBytes("\xE4" "ber"), u"\xDCE4" u"ber");
  // Overlong forms, encoded surrogates and cut sequences are not UTF-8.
  EXPECT_EQ(DecodeArgumentBytes("\xC0\x80"), u"\xDCC0\xDC80");
  EXPECT_EQ(DecodeArgumentBytes("\xED\xB2\x80"), u"\xDCED\xDCB2\xDC80");
  EXPECT_EQ(DecodeArgumentBytes("\xE2\x82"), u"\xDCE2\xDC82");
  EXPECT_EQ(DecodeArgumentBytes("\xF4\x90\x80\x80"), u"\xDCF4\xDC90\xDC80\xDC80");

  // No two byte strings give the same text.
  std::set<std::u16string> seen;
  for (int first = 0; first < 256; ++first) {
    for (int second = 0; second < 256; ++second) {
      const char bytes[] = {static_cast<char>(first), static_cast<char>(second)};
      seen.insert(DecodeArgumentBytes(std::string_view(bytes, 2)));
    }
  }
  EXPECT_EQ(seen.size(), 65536u);
}

}  // namespace
}  // namespace javelin
