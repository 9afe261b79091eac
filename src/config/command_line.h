// The application argument list from the process command line.
#pragma once

#include <string>
#include <string_view>

#include "base/text.h"

namespace javelin {

// Remembers main()'s argv. POSIX takes argv[1..] as the argument list and
// starts the pair launcher with the same argv; Windows ignores it and reads
// GetCommandLineW.
void RecordProcessArguments(int argc, char** argv);
int RecordedArgumentCount();
char** RecordedArguments();

// The application arguments from the process command line: on Windows the
// command line less the program's name (ParseCommandLine); on POSIX
// argv[1..] as they are, decoded with DecodeArgumentBytes.
TextList ReadCommandLine();

// Appends the blank-separated, quote-aware tokens of `text` to `tokens`.
// No escapes: a quoted token runs to the next double quote.
void SplitArguments(const std::u16string& text, TextList& tokens);

// A whole Windows-style command line to application arguments: white space
// (IsCommandLineWhiteSpace) removed from both ends, split with
// SplitArguments, the first token (the program) dropped.
TextList ParseCommandLine(const std::u16string& commandLine);

// The white space that the command line loses at its ends: U+0009 to U+000D,
// U+0020, U+0085, U+00A0, and above U+00FF what Windows classifies as a
// space (GetStringTypeW on Windows, the same fixed set elsewhere).
bool IsCommandLineWhiteSpace(char16_t c);

// UTF-8 argument bytes to UTF-16 without losing any byte: well-formed
// sequences are decoded, and every byte of an ill-formed one becomes the
// lone surrogate U+DC80..U+DCFF that carries its value.
std::u16string DecodeArgumentBytes(std::string_view bytes);

}  // namespace javelin
