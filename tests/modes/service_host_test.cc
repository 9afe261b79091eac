// What a service start adds to the application's arguments.
#include <gtest/gtest.h>

#include "modes/service_host.h"

namespace javelin {
namespace {

TEST(ServiceStartArguments, TheServiceNameComesFirstUnlessItIsOmitted) {
  EXPECT_EQ(ServiceStartArguments({u"svc", u"", u"a b"}, false), (TextList{u"svc", u"", u"a b"}));
  EXPECT_EQ(ServiceStartArguments({u"svc", u"-x"}, true), (TextList{u"-x"}));
  EXPECT_EQ(ServiceStartArguments({u"svc"}, true), TextList{});
  EXPECT_EQ(ServiceStartArguments({}, false), TextList{});
  EXPECT_EQ(ServiceStartArguments({}, true), TextList{});
}

}  // namespace
}  // namespace javelin
