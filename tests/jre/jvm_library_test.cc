#include "jre/jvm_library.h"

#include <gtest/gtest.h>

#include <optional>

#include "jre/runtime_fixture.h"
#include "support/test_support.h"

namespace javelin {
namespace {

TEST(JvmLibrarySelection, JvmTypeChoosesTheVmInsideAHome) {
  using F = JvmFlavor;
  test::TempDir dir;
  const std::u16string both = test::MakeRuntime(dir / u"both", {F::kClient, F::kServer});
  const std::u16string client = test::MakeRuntime(dir / u"client", {F::kClient});
  const std::u16string server = test::MakeRuntime(dir / u"server", {F::kServer});
  const std::u16string jrockit = test::MakeRuntime(dir / u"jrockit", {F::kJRockit});
  const std::u16string old =
      test::MakeRuntime(dir / u"old", {F::kHotspot, F::kClassic, F::kJRockit});
  const std::u16string empty = test::MakeRuntime(dir / u"empty", {});  // the marker is no VM
  const int32_t any = kJvmTypeAny, favor = kJvmTypeFavorServer, required = kJvmTypeServer;
  const struct { std::u16string home; int32_t kind; std::optional<JvmFlavor> chosen; } cases[] = {
      {both, any, F::kClient},       {both, favor, F::kServer},  {both, required, F::kServer},
      {client, required, {}},        {client, favor, F::kClient}, {server, any, F::kServer},
      {jrockit, any, F::kJRockit},   {jrockit, favor, F::kJRockit}, {jrockit, required, {}},
      {old, any, F::kClassic},       {empty, any, {}},            {dir / u"missing/", any, {}},
  };
  for (size_t i = 0; i < std::size(cases); ++i) {
    const auto& c = cases[i];
    bool isServer = !c.chosen;
    EXPECT_EQ(SelectJvmLibrary(c.home, c.kind, &isServer),
              c.chosen ? test::LibraryIn(c.home, *c.chosen) : u"") << i;
    EXPECT_EQ(isServer, c.chosen == F::kServer) << i;
  }
}

}  // namespace
}  // namespace javelin
