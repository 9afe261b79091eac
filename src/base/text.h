// UTF-16 core text and its conversions at the edges of the program.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace javelin {

using TextList = std::vector<std::u16string>;

// Exact UTF-16 <-> UTF-8 conversion. Unpaired surrogates are encoded as
// their three-byte forms so that no code unit is ever lost; invalid UTF-8
// bytes become U+FFFD.
std::string ToUtf8(std::u16string_view text);
std::u16string FromUtf8(std::string_view text);

// Decodes the JNI's modified UTF-8 (C0 80 for U+0000, surrogates encoded one
// by one) into UTF-16 code units.
std::u16string FromModifiedUtf8(std::string_view text);

// Narrow text handed to the JVM (option strings, class names): the thread's
// ANSI code page on Windows, UTF-8 elsewhere. Implemented per platform.
std::string ToJvmNarrow(std::u16string_view text);

// ASCII-only letter case folding; used for the case-insensitive settings.
bool EqualsIgnoreCase(std::u16string_view a, std::u16string_view b);

bool StartsWith(std::u16string_view text, std::u16string_view prefix);
bool EndsWith(std::u16string_view text, std::u16string_view suffix);

// Decimal rendering of a signed 32-bit number.
std::u16string ToDecimal(long long value);

// Replaces every occurrence of `from` by `to`.
std::u16string ReplaceAll(std::u16string text, char16_t from, char16_t to);

// Cuts `text` at every `delimiter` into `pieces` (cleared first). An empty
// text yields nothing; a trailing delimiter adds no empty piece.
void SplitText(const std::u16string& text, const std::u16string& delimiter, TextList& pieces);

}  // namespace javelin
