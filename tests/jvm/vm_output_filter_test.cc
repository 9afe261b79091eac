// The JVM's console output during a recording start: everything passes,
// in order and at once, except the one announcement line, however the JVM
// cuts its lines into calls.
#include "jvm/vm_output_filter.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace javelin::test {
namespace {

jint Print(FILE* stream, const char* format, ...) {
  va_list arguments;
  va_start(arguments, format);
  const jint result = FilterVmOutput(stream, format, arguments);
  va_end(arguments);
  return result;
}

TEST(VmOutputFilterTest, OnlyTheAnnouncementLineIsDropped) {
  const std::string longLine(2000, 'x');
  const std::pair<std::vector<std::string>, std::string> cases[] = {
      {{" ", "AOTConfiguration recorded: /c/a.aotconf", "\n", "next\n"}, "next\n"},
      {{"before\n AOTConfiguration recorded: a\nafter\n"}, "before\nafter\n"},
      {{"Full thread dump OpenJDK 64-Bit Server VM:\n", "  ", "\"main\" #1\n"},
       "Full thread dump OpenJDK 64-Bit Server VM:\n  \"main\" #1\n"},
      {{longLine, "\n"}, longLine + "\n"},
  };
  for (const auto& [pieces, expected] : cases) {
    SCOPED_TRACE(pieces.front().substr(0, 40));
    FILE* stream = tmpfile();
    ASSERT_NE(stream, nullptr);
    for (const std::string& piece : pieces) {
      EXPECT_EQ(Print(stream, "%.*s", static_cast<int>(piece.size()), piece.data()),
                static_cast<jint>(piece.size()));
    }
    const long written = ftell(stream);
    rewind(stream);
    std::string text(static_cast<size_t>(written), '\0');
    EXPECT_EQ(fread(&text[0], 1, text.size(), stream), text.size());
    fclose(stream);
    EXPECT_EQ(text, expected);
  }
}

}  // namespace
}  // namespace javelin::test
