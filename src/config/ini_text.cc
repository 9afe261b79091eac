#include "config/ini_text.h"

#include <vector>

namespace javelin {

namespace {

constexpr size_t kNone = std::u16string::npos;

bool IsLineBreak(char16_t c) { return c == u'\r' || c == u'\n'; }

// One non-blank line of the text. Positions index the text.
struct IniLine {
  size_t begin = 0;    // first character after leading blanks
  size_t end = 0;      // one past the last character before trailing blanks
  size_t breakAt = 0;  // where the line break (or the text) begins
  bool isSection = false;
  std::u16string name;    // trimmed section or key name, not yet cut at NUL
  bool hasValue = false;  // a key line with '='
  size_t valueBegin = 0;  // key lines with a value: first character after blanks
};

// A section and the range of its lines (the implicit first section has no
// header line).
struct IniSection {
  std::u16string name;
  size_t firstLine = 0;  // index of the first line after the header
  size_t endLine = 0;    // one past its last line
  size_t headerLine = kNone;
};

struct IniDocument {
  std::vector<IniLine> lines;
  std::vector<IniSection> sections;
};

// Names and values are C strings for the profile functions: they end at the
// first NUL character.
std::u16string CutAtNul(std::u16string text) {
  const size_t nul = text.find(u'\0');
  if (nul != kNone) text.resize(nul);
  return text;
}

std::u16string Trim(const std::u16string& text) {
  size_t begin = 0;
  size_t end = text.size();
  while (begin < end && IsIniBlank(text[begin])) ++begin;
  while (end > begin && IsIniBlank(text[end - 1])) --end;
  return text.substr(begin, end - begin);
}

// A name as the caller gives it: cut at NUL, blanks around it removed.
std::u16string QueryName(const std::u16string& name) { return Trim(CutAtNul(name)); }

bool NamesEqual(const std::u16string& fileName, const std::u16string& queryName) {
  return EqualsIgnoreCase(CutAtNul(fileName), queryName);
}

// The ASCII letters of `text` in lower case, as EqualsIgnoreCase compares.
std::u16string FoldCase(std::u16string text) {
  for (char16_t& c : text) {
    if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c - u'A' + u'a');
  }
  return text;
}

// The part of `text` from `begin` to `end`, cut at its first NUL.
std::u16string_view NameView(const std::u16string& text, size_t begin, size_t end) {
  std::u16string_view name(text.data() + begin, end - begin);
  return name.substr(0, name.find(u'\0'));
}

// One line of the text with blanks trimmed: [begin, end) is its content
// (empty for a blank line), lineEnd where its line break begins.
struct LineSpan {
  size_t begin = 0;
  size_t end = 0;
  size_t lineEnd = 0;
};

// The line at `position`, which moves past its line break. False at the end
// of the text.
bool NextLine(const std::u16string& text, size_t& position, LineSpan& line) {
  if (position >= text.size()) return false;
  line.lineEnd = position;
  while (line.lineEnd < text.size() && !IsLineBreak(text[line.lineEnd])) ++line.lineEnd;
  line.begin = position;
  line.end = line.lineEnd;
  while (line.begin < line.end && IsIniBlank(text[line.begin])) ++line.begin;
  while (line.end > line.begin && IsIniBlank(text[line.end - 1])) --line.end;
  position = line.lineEnd;
  while (position < text.size() && IsLineBreak(text[position])) ++position;
  return true;
}

IniLine ParseLine(const std::u16string& text, size_t begin, size_t end) {
  IniLine line;
  line.begin = begin;
  line.end = end;
  if (text[begin] == u'[') {
    size_t close = end;
    while (close > begin && text[close - 1] != u']') --close;
    if (close > begin + 1) {  // a ']' after the '['
      line.isSection = true;
      line.name = Trim(text.substr(begin + 1, close - 1 - (begin + 1)));
      return line;
    }
  }
  size_t equals = begin;
  while (equals < end && text[equals] != u'=') ++equals;
  size_t nameEnd = equals;
  while (nameEnd > begin && IsIniBlank(text[nameEnd - 1])) --nameEnd;
  line.name = text.substr(begin, nameEnd - begin);
  if (equals < end) {
    line.hasValue = true;
    line.valueBegin = equals + 1;
    while (line.valueBegin < end && IsIniBlank(text[line.valueBegin])) ++line.valueBegin;
  }
  return line;
}

IniDocument Parse(const std::u16string& text) {
  IniDocument document;
  IniSection current;  // the implicit section before the first header
  size_t position = 0;
  LineSpan span;
  while (NextLine(text, position, span)) {
    if (span.begin == span.end) continue;
    IniLine line = ParseLine(text, span.begin, span.end);
    line.breakAt = span.lineEnd;
    if (line.isSection) {
      current.endLine = document.lines.size();
      document.sections.push_back(std::move(current));
      current = IniSection();
      current.name = line.name;
      current.headerLine = document.lines.size();
      current.firstLine = document.lines.size() + 1;
    }
    document.lines.push_back(std::move(line));
  }
  current.endLine = document.lines.size();
  document.sections.push_back(std::move(current));
  return document;
}

const IniSection* FindSection(const IniDocument& document, const std::u16string& name) {
  for (const IniSection& section : document.sections) {
    if (NamesEqual(section.name, name)) return &section;
  }
  return nullptr;
}

// Index of the first key line named `key` in `section`, or kNone.
size_t FindKeyLine(const IniDocument& document, const IniSection& section,
                   const std::u16string& key) {
  for (size_t i = section.firstLine; i < section.endLine; ++i) {
    if (NamesEqual(document.lines[i].name, key)) return i;
  }
  return kNone;
}

void AppendUnit(std::string& out, char16_t unit, bool bigEndian) {
  const char high = static_cast<char>(unit >> 8);
  const char low = static_cast<char>(unit & 0xFF);
  out.push_back(bigEndian ? high : low);
  out.push_back(bigEndian ? low : high);
}

std::u16string DecodeUtf16(std::string_view bytes, bool bigEndian) {
  std::u16string text;
  text.reserve(bytes.size() / 2);
  for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
    const unsigned first = static_cast<unsigned char>(bytes[i]);
    const unsigned second = static_cast<unsigned char>(bytes[i + 1]);
    text.push_back(
        static_cast<char16_t>(bigEndian ? (first << 8 | second) : (second << 8 | first)));
  }
  return text;
}

bool StartsWith(std::string_view bytes, std::string_view prefix) {
  return bytes.substr(0, prefix.size()) == prefix;
}

}  // namespace

bool IsIniBlank(char16_t c) {
  return c == u' ' || c == u'\t' || c == u'\n' || c == u'\v' || c == u'\f' || c == u'\r' ||
         c == u'\x1A';
}

IniText DecodeIniBytes(std::string_view bytes) {
  IniText result;
  if (StartsWith(bytes, "\xEF\xBB\xBF")) {
    result.encoding = IniEncoding::kUtf8Bom;
    result.text = FromUtf8(bytes.substr(3));
  } else if (StartsWith(bytes, "\xFF\xFE")) {
    result.encoding = IniEncoding::kUtf16LeBom;
    result.text = DecodeUtf16(bytes.substr(2), false);
  } else if (StartsWith(bytes, "\xFE\xFF")) {
    result.encoding = IniEncoding::kUtf16BeBom;
    result.text = DecodeUtf16(bytes.substr(2), true);
  } else {
    result.text = FromUtf8(bytes);
  }
  return result;
}

std::string EncodeIniText(const std::u16string& text, IniEncoding encoding) {
  switch (encoding) {
    case IniEncoding::kUtf8:
      return ToUtf8(text);
    case IniEncoding::kUtf8Bom:
      return "\xEF\xBB\xBF" + ToUtf8(text);
    case IniEncoding::kUtf16LeBom:
    case IniEncoding::kUtf16BeBom: {
      const bool bigEndian = encoding == IniEncoding::kUtf16BeBom;
      std::string out;
      out.reserve(2 + text.size() * 2);
      AppendUnit(out, 0xFEFF, bigEndian);
      for (char16_t unit : text) AppendUnit(out, unit, bigEndian);
      return out;
    }
  }
  return ToUtf8(text);
}

IniIndex::IniIndex(std::u16string text) : text_(std::move(text)), folded_(FoldCase(text_)) {
  // The lines as Parse reads them, without the copies it makes: names are
  // filed as views, values cut out when asked for.
  Keys* keys = &sections_[std::u16string_view()];  // the section before the first header
  size_t position = 0;
  LineSpan span;
  while (NextLine(text_, position, span)) {
    const size_t begin = span.begin;
    const size_t end = span.end;
    if (begin == end) continue;

    if (text_[begin] == u'[') {
      size_t close = end;
      while (close > begin && text_[close - 1] != u']') --close;
      if (close > begin + 1) {
        size_t nameBegin = begin + 1;
        size_t nameEnd = close - 1;
        while (nameBegin < nameEnd && IsIniBlank(text_[nameBegin])) ++nameBegin;
        while (nameEnd > nameBegin && IsIniBlank(text_[nameEnd - 1])) --nameEnd;
        // Only the first section of a name is ever searched.
        const auto [entry, isFirst] = sections_.try_emplace(NameView(folded_, nameBegin, nameEnd));
        keys = isFirst ? &entry->second : nullptr;
        continue;
      }
    }
    if (keys == nullptr) continue;
    size_t equals = begin;
    while (equals < end && text_[equals] != u'=') ++equals;
    size_t nameEnd = equals;
    while (nameEnd > begin && IsIniBlank(text_[nameEnd - 1])) --nameEnd;
    // The first key of a name wins, even one without '=' (an empty value).
    const auto [key, isFirstKey] = keys->try_emplace(NameView(folded_, begin, nameEnd));
    if (!isFirstKey || equals == end) continue;
    size_t valueBegin = equals + 1;
    while (valueBegin < end && IsIniBlank(text_[valueBegin])) ++valueBegin;
    key->second = ValueRange{valueBegin, end};
  }
}

std::u16string IniIndex::Find(const std::u16string& section, const std::u16string& key) const {
  const auto found = sections_.find(FoldCase(QueryName(section)));
  if (found == sections_.end()) return {};
  const auto entry = found->second.find(FoldCase(QueryName(key)));
  if (entry == found->second.end()) return {};
  const ValueRange& range = entry->second;
  std::u16string value = CutAtNul(text_.substr(range.begin, range.end - range.begin));
  if (value.size() >= 2 && (value.front() == u'"' || value.front() == u'\'') &&
      value.back() == value.front()) {
    value = value.substr(1, value.size() - 2);
  }
  return value;
}

std::u16string FindIniValue(const std::u16string& text, const std::u16string& section,
                            const std::u16string& key) {
  return IniIndex(text).Find(section, key);
}

std::u16string SetIniValue(const std::u16string& text, const std::u16string& section,
                           const std::u16string& key, const std::u16string& value) {
  const std::u16string sectionName = QueryName(section);
  const std::u16string keyName = QueryName(key);
  std::u16string cleanValue = CutAtNul(value);
  size_t valueStart = 0;
  while (valueStart < cleanValue.size() && IsIniBlank(cleanValue[valueStart])) ++valueStart;
  cleanValue.erase(0, valueStart);
  const std::u16string newline = text.find(u"\r\n") != kNone ? u"\r\n" : u"\n";

  const IniDocument document = Parse(text);
  const IniSection* found = FindSection(document, sectionName);
  std::u16string result = text;
  if (found == nullptr) {
    if (!result.empty() && !IsLineBreak(result.back())) result += newline;
    result += u"[" + sectionName + u"]" + newline + keyName + u"=" + cleanValue + newline;
    return result;
  }
  const size_t index = FindKeyLine(document, *found, keyName);
  if (index != kNone) {
    // The key keeps the spelling it has in the file.
    const IniLine& line = document.lines[index];
    result.replace(line.begin, line.end - line.begin, line.name + u"=" + cleanValue);
    return result;
  }
  const std::u16string entry = keyName + u"=" + cleanValue;
  if (found->endLine == 0) {
    // The implicit first section without any line: the key opens the file.
    result.insert(0, entry + newline);
  } else {
    // After the last line of the section: its header or its last key.
    result.insert(document.lines[found->endLine - 1].breakAt, newline + entry);
  }
  return result;
}

}  // namespace javelin
