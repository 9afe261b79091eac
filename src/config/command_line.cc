#include "config/command_line.h"

#include <cstdint>

namespace javelin {

namespace {

int recordedCount = 0;
char** recordedArguments = nullptr;

constexpr size_t kNone = std::u16string::npos;

// The first position at or after `from` that is not a blank, or kNone.
size_t SkipBlanks(const std::u16string& text, size_t from) {
  return text.find_first_not_of(u' ', from);
}

size_t SequenceLength(unsigned char lead) {
  if (lead >= 0xC2 && lead <= 0xDF) return 2;
  if (lead >= 0xE0 && lead <= 0xEF) return 3;
  if (lead >= 0xF0 && lead <= 0xF4) return 4;
  return 0;
}

// The allowed range of the second byte of a sequence (the first
// continuation byte), which rules out overlong forms, surrogates and values
// above U+10FFFF.
bool SecondByteAllowed(unsigned char lead, unsigned char byte) {
  unsigned char low = 0x80, high = 0xBF;
  if (lead == 0xE0) low = 0xA0;
  if (lead == 0xED) high = 0x9F;
  if (lead == 0xF0) low = 0x90;
  if (lead == 0xF4) high = 0x8F;
  return byte >= low && byte <= high;
}

}  // namespace

void RecordProcessArguments(int argc, char** argv) {
  recordedCount = argc;
  recordedArguments = argv;
}
int RecordedArgumentCount() { return recordedCount; }
char** RecordedArguments() { return recordedArguments; }

void SplitArguments(const std::u16string& text, TextList& tokens) {
  if (text.empty()) return;
  size_t position = 0;
  while (position != kNone) {
    if (text[position] == u'"') {
      if (position == text.size() - 1) {
        tokens.emplace_back();
        return;
      }
      const size_t close = text.find(u'"', position + 1);
      if (close == kNone) {
        tokens.push_back(text.substr(position + 1));
        return;
      }
      tokens.push_back(text.substr(position + 1, close - position - 1));
      // A character right after the closing quote starts the next token.
      position = SkipBlanks(text, close + 1);
    } else {
      const size_t blank = text.find(u' ', position);
      if (blank == kNone) {
        tokens.push_back(text.substr(position));
        return;
      }
      tokens.push_back(text.substr(position, blank - position));
      position = SkipBlanks(text, blank + 1);
    }
  }
}

TextList ParseCommandLine(const std::u16string& commandLine) {
  size_t begin = 0;
  size_t end = commandLine.size();
  while (begin < end && IsCommandLineWhiteSpace(commandLine[begin])) ++begin;
  while (end > begin && IsCommandLineWhiteSpace(commandLine[end - 1])) --end;
  TextList tokens;
  SplitArguments(commandLine.substr(begin, end - begin), tokens);
  if (!tokens.empty()) tokens.erase(tokens.begin());
  return tokens;
}

std::u16string DecodeArgumentBytes(std::string_view bytes) {
  std::u16string text;
  text.reserve(bytes.size());
  size_t i = 0;
  while (i < bytes.size()) {
    const unsigned char lead = static_cast<unsigned char>(bytes[i]);
    if (lead < 0x80) {
      text.push_back(lead);
      ++i;
      continue;
    }
    const size_t length = SequenceLength(lead);
    bool wellFormed = length != 0 && i + length <= bytes.size() &&
                      SecondByteAllowed(lead, static_cast<unsigned char>(bytes[i + 1]));
    for (size_t k = 2; wellFormed && k < length; ++k) {
      const unsigned char byte = static_cast<unsigned char>(bytes[i + k]);
      wellFormed = byte >= 0x80 && byte <= 0xBF;
    }
    if (!wellFormed) {
      text.push_back(static_cast<char16_t>(0xDC00 + lead));
      ++i;
      continue;
    }
    uint32_t codePoint = lead & (0xFF >> (length + 1));
    for (size_t k = 1; k < length; ++k) {
      codePoint = (codePoint << 6) | (static_cast<unsigned char>(bytes[i + k]) & 0x3F);
    }
    if (codePoint < 0x10000) {
      text.push_back(static_cast<char16_t>(codePoint));
    } else {
      codePoint -= 0x10000;
      text.push_back(static_cast<char16_t>(0xD800 + (codePoint >> 10)));
      text.push_back(static_cast<char16_t>(0xDC00 + (codePoint & 0x3FF)));
    }
    i += length;
  }
  return text;
}

}  // namespace javelin
