// The application argument list from the process command line.
#pragma once

#include <string>

#include "base/text.h"

namespace javelin {

class Launcher;

// Remembers main()'s argv. POSIX takes argv[1..] as the argument list and
// starts the pair launcher with the same argv; Windows ignores it and reads
// GetCommandLineW.
void RecordProcessArguments(int argc, char** argv);
int RecordedArgumentCount();
char** RecordedArguments();

// Fills launcher.arguments from the process command line.
void ReadCommandLine(Launcher& launcher);

// Appends the blank-separated, quote-aware tokens of `text` to `tokens`.
// No escapes: a quoted token runs to the next double quote.
void SplitArguments(const std::u16string& text, TextList& tokens);

}  // namespace javelin
