#include "base/wildcard.h"

#include <gtest/gtest.h>

namespace javelin {
namespace {

TEST(MatchesWildcard, StarTakesAnyRunAndQuestionMarkExactlyOneCharacter) {
  EXPECT_TRUE(MatchesWildcard(u"*", u""));
  EXPECT_TRUE(MatchesWildcard(u"*", u"anything at all"));
  EXPECT_TRUE(MatchesWildcard(u"a*c", u"ac"));
  EXPECT_TRUE(MatchesWildcard(u"a*c", u"abbbc"));
  EXPECT_FALSE(MatchesWildcard(u"a*c", u"abcd"));
  // A star gives back what the rest of the pattern needs.
  EXPECT_TRUE(MatchesWildcard(u"*a*b", u"xaxab"));
  EXPECT_TRUE(MatchesWildcard(u"*ab", u"aab"));
  EXPECT_FALSE(MatchesWildcard(u"*a*b", u"xbxa"));
  EXPECT_TRUE(MatchesWildcard(u"**", u"x"));

  EXPECT_TRUE(MatchesWildcard(u"?", u"x"));
  EXPECT_FALSE(MatchesWildcard(u"?", u""));
  EXPECT_FALSE(MatchesWildcard(u"?", u"xy"));
  EXPECT_TRUE(MatchesWildcard(u"a?c", u"abc"));
  EXPECT_TRUE(MatchesWildcard(u"*?", u"z"));
  EXPECT_TRUE(MatchesWildcard(u"?", u"\u00E9"));
}

TEST(MatchesWildcard, DotsAndStarsAtThePatternEndAlsoMatchTheNameEnd) {
  EXPECT_TRUE(MatchesWildcard(u"*.*", u"readme"));
  EXPECT_TRUE(MatchesWildcard(u"*.*", u"a.b.c"));
  EXPECT_TRUE(MatchesWildcard(u"*.*", u"."));
  EXPECT_TRUE(MatchesWildcard(u"*.*", u".."));
  EXPECT_TRUE(MatchesWildcard(u"name.*", u"name"));
  EXPECT_TRUE(MatchesWildcard(u"name.*", u"name.txt"));
  EXPECT_FALSE(MatchesWildcard(u"name.*", u"names"));
  EXPECT_FALSE(MatchesWildcard(u"name.?", u"name"));
  EXPECT_FALSE(MatchesWildcard(u"*.txt", u"txt"));
}

TEST(MatchesWildcard, OtherCharactersMatchThemselvesWithCase) {
  EXPECT_TRUE(MatchesWildcard(u"Read Me.TXT", u"Read Me.TXT"));
  EXPECT_FALSE(MatchesWildcard(u"readme.txt", u"README.TXT"));
  EXPECT_FALSE(MatchesWildcard(u"A*", u"abc"));
  EXPECT_FALSE(MatchesWildcard(u"abc", u"ab"));
  EXPECT_FALSE(MatchesWildcard(u".", u".."));
}

}  // namespace
}  // namespace javelin
