// Javelin's own INI reader and writer, working on decoded UTF-16 text. It
// follows the rules of the Windows profile functions, so that one INI file
// reads the same everywhere:
// - lines end at any run of CR and LF characters; blanks, tabs, VT, FF and
//   Ctrl-Z around a line, a name or a value do not count;
// - "[name]" starts a section; the name runs to the last ']' of the line
//   (text after it is ignored) and is trimmed; a line starting with '[' but
//   without ']' is an ordinary line;
// - any other line is a key: the name up to the first '=', the value after
//   it; a line without '=' is a key without a value;
// - lines before the first section belong to a section with an empty name;
// - section and key names compare without regard to ASCII letter case and
//   end at a NUL character; only the first section of a name is searched and
//   the first key of a name in it wins;
// - ';' and '#' are not special: such lines are keys whose names begin with
//   that character, so they never match an ordinary key name;
// - a value ends at a NUL character; one that begins and ends with the same
//   quote (' or "), at least two characters long, loses both quotes.
#pragma once

#include <string>
#include <string_view>
#include <unordered_map>

#include "base/text.h"

namespace javelin {

// How an INI file's bytes are encoded; kept so that a write preserves it.
enum class IniEncoding {
  kUtf8,        // no byte-order mark
  kUtf8Bom,     // EF BB BF
  kUtf16LeBom,  // FF FE
  kUtf16BeBom,  // FE FF
};

struct IniText {
  std::u16string text;
  IniEncoding encoding = IniEncoding::kUtf8;
};

// Decodes a file's bytes by its byte-order mark; without one the bytes are
// UTF-8 (invalid sequences become U+FFFD). A UTF-16 file without a mark is
// therefore read as UTF-8 and yields no usable names, as on Windows, where it
// is read in the ANSI code page.
IniText DecodeIniBytes(std::string_view bytes);

// Encodes text for a file of the given encoding, mark included.
std::string EncodeIniText(const std::u16string& text, IniEncoding encoding);

// Whether `c` counts as blank around lines, names and values.
bool IsIniBlank(char16_t c);

// A text parsed once for any number of lookups: the first section of each
// name and, in it, the first key of each name. A lookup costs no pass over
// the text. Neither copied nor moved: its maps point into its own strings.
class IniIndex {
 public:
  explicit IniIndex(std::u16string text);
  IniIndex(const IniIndex&) = delete;
  IniIndex& operator=(const IniIndex&) = delete;

  // The value of `key` in `section`, quotes removed; empty when the section,
  // the key or its '=' is missing. Section and key are trimmed first.
  std::u16string Find(const std::u16string& section, const std::u16string& key) const;

 private:
  // Where a key's value lies in the text; none for a key without '='.
  struct ValueRange {
    size_t begin = 0;
    size_t end = 0;
  };
  using Keys = std::unordered_map<std::u16string_view, ValueRange>;

  std::u16string text_;
  // The text with ASCII letters in lower case: the names in the maps are
  // views into it, cut at their first NUL.
  std::u16string folded_;
  std::unordered_map<std::u16string_view, Keys> sections_;
};

// IniIndex(text).Find(section, key), for a single lookup.
std::u16string FindIniValue(const std::u16string& text, const std::u16string& section,
                            const std::u16string& key);

// Returns `text` with `key` in `section` set to `value` (leading blanks of the
// value dropped): the first matching key line is rewritten in place as
// name=value, a missing key is added after the last line of the section, and
// a missing section is appended at the end. Everything else stays as it was.
// New lines use CR LF when the text already does, LF otherwise.
std::u16string SetIniValue(const std::u16string& text, const std::u16string& section,
                           const std::u16string& key, const std::u16string& value);

}  // namespace javelin
