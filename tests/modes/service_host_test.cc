// What a service start adds to the application's arguments.
#include <gtest/gtest.h>

#include "modes/service_host.h"

namespace javelin {
namespace {

TEST(ServiceStartArguments, TheServiceNameComesFirstUnlessItIsOmitted) {
  const struct {
    TextList start;
    bool omit;
    TextList expected;
  } cases[] = {
      {{u"myservice", u"-x"}, false, {u"myservice", u"-x"}},
      {{u"myservice", u"-x"}, true, {u"-x"}},
      {{u"myservice"}, true, {}},
      {{u"myservice", u"", u"a b"}, false, {u"myservice", u"", u"a b"}},
      {{}, false, {}},
      {{}, true, {}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ServiceStartArguments(c.start, c.omit), c.expected) << c.start.size() << " " << c.omit;
  }
}

}  // namespace
}  // namespace javelin
