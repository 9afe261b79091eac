// How a command line becomes the application's arguments.
#include "config/command_line.h"

#include <gtest/gtest.h>

#include <set>

namespace javelin {
namespace {

// The usual quoting is shown end to end on Windows; here the edges.
TEST(CommandLine, QuotesGroupBlanksWithoutEscapesAndTheProgramIsDropped) {
  const std::pair<const char16_t*, TextList> cases[] = {
      {u"   ", {}},
      {u"\"C:\\tool.exe a b", {}},                        // the program's quote never closes
      {u"tool \"C:\\path\\\" x", {u"C:\\path\\", u"x"}},  // no backslash escapes
      {u"tool x \"", {u"x", u""}},                        // quote at the end: empty argument
      {u"\t \u00A0tool a\tb \u3000\t\r\n", {u"a\tb"}},    // only blanks separate
  };
  for (const auto& [line, arguments] : cases)
    EXPECT_EQ(ParseCommandLine(line), arguments) << ToUtf8(line);

  // "Cmd" text splits the same way and appends; a leading blank gives an empty token.
  TextList tokens{u"from-command-line"};
  SplitArguments(u" -v  \"\"", tokens);
  EXPECT_EQ(tokens, (TextList{u"from-command-line", u"", u"-v", u""}));
}

TEST(CommandLine, ArgumentBytesDecodeWithoutLoss) {
  EXPECT_EQ(DecodeArgumentBytes("\xC3\xA4\xE2\x82\xAC\xF0\x9F\x98\x80"), u"\u00E4\u20AC\U0001F600");
  // Bytes that are not UTF-8 (here an overlong form) keep their value in U+DC80..U+DCFF.
  EXPECT_EQ(DecodeArgumentBytes("a\xC0\x80"
                                "b"),
            u"a\xDCC0\xDC80"
            u"b");
  std::set<std::u16string> seen;  // no two byte strings give the same text
  for (int i = 0; i < 65536; ++i) {
    const char bytes[] = {static_cast<char>(i >> 8), static_cast<char>(i & 0xFF)};
    seen.insert(DecodeArgumentBytes(std::string_view(bytes, 2)));
  }
  EXPECT_EQ(seen.size(), 65536u);
}

}  // namespace
}  // namespace javelin
