// On POSIX the arguments come from argv as the shell split them.
#include <gtest/gtest.h>

#include "config/command_line.h"
#include "launcher/launcher.h"

namespace javelin {
namespace {

TEST(CommandLinePosix, ArgvIsTakenAsItIs) {
  const int savedCount = RecordedArgumentCount();
  char** const savedArguments = RecordedArguments();

  std::string storage[] = {"/opt/app/tool", "  padded  ", "", "\"quoted\"", "a b",
                           "\xC3\xA4", "\xFF"};
  char* argv[] = {&storage[0][0], &storage[1][0], &storage[2][0], &storage[3][0],
                  &storage[4][0], &storage[5][0], &storage[6][0], nullptr};
  RecordProcessArguments(7, argv);
  Launcher launcher;
  launcher.arguments = {u"stale"};
  ReadCommandLine(launcher);
  EXPECT_EQ(launcher.arguments,
            (TextList{u"  padded  ", u"", u"\"quoted\"", u"a b", u"\u00E4", u"\xDCFF"}));

  RecordProcessArguments(1, argv);
  ReadCommandLine(launcher);
  EXPECT_EQ(launcher.arguments, TextList{});

  RecordProcessArguments(savedCount, savedArguments);
}

}  // namespace
}  // namespace javelin
