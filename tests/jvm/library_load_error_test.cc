#include <gtest/gtest.h>

#include "base/text.h"
#include "jvm/library_load_error.h"

namespace javelin {
namespace {

TEST(LibraryLoadMessageTest, ShowsTheCodeOrTheLoadersReason) {
  const struct {
    const char16_t* path;
    uint32_t code;
    const char16_t* reason;
    const char16_t* expected;
  } cases[] = {
      // Windows: the number, signed, as always.
      {u"C:\\jre\\bin\\server\\jvm.dll", 193, u"",
       u"Konnte Java VM Bibliothek: C:\\jre\\bin\\server\\jvm.dll (Fehlernummer= 193) nicht "
       u"laden.\n"},
      {u"C:\\x.dll", 0xC0000135u, u"",
       u"Konnte Java VM Bibliothek: C:\\x.dll (Fehlernummer= -1073741515) nicht laden.\n"},
      // POSIX: the reason replaces label and number; the repeated path goes.
      {u"/jre/lib/server/libjvm.so", 0, u"/jre/lib/server/libjvm.so: invalid ELF header",
       u"Konnte Java VM Bibliothek: /jre/lib/server/libjvm.so (invalid ELF header) nicht laden.\n"},
      {u"/jre/lib/server/libjvm.so", 2,
       u"libjava.so: cannot open shared object file: No such file or directory",
       u"Konnte Java VM Bibliothek: /jre/lib/server/libjvm.so (libjava.so: cannot open shared "
       u"object file: "
       u"No such file or directory) nicht laden.\n"},
      // A reason that is only the path and its colon keeps it: nothing else would be left.
      {u"/a", 0, u"/a: ", u"Konnte Java VM Bibliothek: /a (/a: ) nicht laden.\n"},
  };
  for (const auto& test : cases) {
    LibraryLoadError error;
    error.code = test.code;
    error.reason = test.reason;
    EXPECT_EQ(ToUtf8(FormatLibraryLoadMessage(test.path, error)), ToUtf8(test.expected));
  }
}

}  // namespace
}  // namespace javelin
