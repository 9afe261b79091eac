// On POSIX the arguments come from argv as the shell split them.
#include <gtest/gtest.h>

#include "config/command_line.h"

namespace javelin {
namespace {

TEST(CommandLinePosix, ArgvIsTakenAsItIs) {
  const int savedCount = RecordedArgumentCount();
  char** const savedArguments = RecordedArguments();
  std::string storage[] = {"/opt/app/tool", "  padded  ", "", "\"quoted\"", "\xC3\xA4", "\xFF"};
  char* argv[] = {&storage[0][0], &storage[1][0], &storage[2][0], &storage[3][0], &storage[4][0],
                  &storage[5][0], nullptr};
  RecordProcessArguments(6, argv);
  const TextList arguments = ReadCommandLine();
  RecordProcessArguments(savedCount, savedArguments);
  EXPECT_EQ(arguments, (TextList{u"  padded  ", u"", u"\"quoted\"", u"\u00E4", u"\xDCFF"}));
}

}  // namespace
}  // namespace javelin
