#include "config/command_line.h"

namespace javelin {

namespace {
int recordedCount = 0;
char** recordedArguments = nullptr;
}  // namespace

void RecordProcessArguments(int argc, char** argv) {
  recordedCount = argc;
  recordedArguments = argv;
}
int RecordedArgumentCount() { return recordedCount; }
char** RecordedArguments() { return recordedArguments; }

void SplitArguments(const std::u16string&, TextList&) {}

}  // namespace javelin
