#include "jvm/vm_parameters.h"

#include <cmath>

#include "base/text.h"

namespace javelin {

namespace {

constexpr size_t npos = std::u16string::npos;

bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

// Reads ':'-separated decimal numbers from text[begin, end); characters
// other than digits and ':' are skipped. Arithmetic wraps at 2^32.
std::vector<uint32_t> ReadNumbers(const std::u16string& text, size_t begin, size_t end) {
  std::vector<uint32_t> numbers{0};
  for (size_t i = begin; i < end; ++i) {
    if (IsDigit(text[i])) {
      numbers.back() = numbers.back() * 10u + static_cast<uint32_t>(text[i] - u'0');
    } else if (text[i] == u':') {
      numbers.push_back(0);
    }
  }
  return numbers;
}

// The end of the token that starts at `start`: the first blank that is not
// inside a pair of double quotes, or the end of the text.
size_t NextTokenEnd(const std::u16string& text, size_t start) {
  size_t blank = text.find(u' ', start);
  size_t quote = text.find(u'"', start);
  if (quote == npos) return blank == npos ? text.size() : blank;
  while (true) {
    if (blank == npos) return text.size();
    if (blank < quote) return blank;
    if (quote == text.size() - 1) return blank;
    size_t closing = text.find(u'"', quote + 1);
    if (closing == npos) return blank;
    if (closing + 1 < text.size() && text[closing + 1] == u'"') ++closing;
    quote = text.find(u'"', closing + 1);
    blank = text.find(u' ', closing + 1);
    if (quote == npos) break;
  }
  return blank == npos ? text.size() : blank;
}

bool HasMemoryOptionName(const std::u16string& token) {
  return StartsWith(token, u"-Xms") || StartsWith(token, u"-Xmx") || StartsWith(token, u"-Xss");
}

bool IsPercentageLetter(char16_t c) { return c == u'P' || c == u'p' || c == u'T' || c == u't'; }

// Kilobytes times percent / 100, cut toward zero, as an unsigned 32-bit
// number: values of 2^32 and more wrap around like the 32-bit arithmetic
// the figures were once limited to.
uint32_t PercentOfKilobytes(uint64_t kilobytes, uint32_t percent) {
  const double product = std::trunc(static_cast<double>(kilobytes) * (percent / 100.0));
  return static_cast<uint32_t>(static_cast<uint64_t>(std::fmod(product, 18446744073709551616.0)));
}

}  // namespace

size_t ParseNumberList(const std::u16string& text, std::vector<uint32_t>& numbers) {
  numbers.clear();
  size_t prefix = 0;
  while (prefix < text.size() && !IsDigit(text[prefix]) && text[prefix] != u':') ++prefix;
  if (prefix == text.size()) return prefix;
  numbers = ReadNumbers(text, prefix, text.size() - 1);
  return prefix;
}

std::u16string StripQuotePairs(const std::u16string& token) {
  std::u16string text = token;
  size_t position = 0;
  while (true) {
    const size_t opening = text.find(u'"', position);
    if (opening == npos || opening == text.size() - 1) break;
    size_t closing = text.find(u'"', opening + 1);
    if (closing == npos) break;
    if (closing + 1 < text.size() && text[closing + 1] == u'"') ++closing;
    const std::u16string kept = text.substr(opening + 1, closing - opening - 1);
    text.replace(opening, closing - opening + 1, kept);
    position = opening + kept.size();
    if (position >= text.size()) break;
  }
  return text;
}

std::u16string ApplyMemoryPercentage(const std::u16string& token, const MemoryFigures& figures,
                                     unsigned processBits) {
  std::vector<uint32_t> numbers;
  const size_t prefix = ParseNumberList(token, numbers);
  numbers.resize(3, 0);
  const uint32_t percent = numbers[0];
  const uint32_t minimum = numbers[1];
  const uint32_t maximum = numbers[2];

  const char16_t letter = token.empty() ? u'\0' : token.back();
  const bool addressSpace = letter == u'T' || letter == u't';
  const uint64_t bytes = addressSpace ? figures.availableVirtual : figures.totalPhysical;
  if (processBits == 64) {
    // A 64-bit process has terabytes of free address space, which says
    // nothing about the heap it can use: the figure counts as at most the
    // 4 GB a 32-bit process has, so an INI written for the 32-bit launcher
    // asks for the same size. The limits apply in 64 bits, and the result
    // stays a positive signed 32-bit count of kilobytes (at most 2 TB).
    constexpr uint64_t kLargestKilobytes = 0x7FFFFFFF;
    const uint64_t measured = addressSpace && bytes > 0xFFFFFFFFu ? 0xFFFFFFFFu : bytes;
    // Products beyond 2^53 KB exceed every limit below; saturating there
    // keeps the conversion to an integer defined.
    const double product = std::trunc(static_cast<double>(measured >> 10) * (percent / 100.0));
    uint64_t size =
        product < 9007199254740992.0 ? static_cast<uint64_t>(product) : uint64_t{1} << 53;
    if (maximum != 0 && size > uint64_t{maximum} * 1024) size = uint64_t{maximum} * 1024;
    if (size < uint64_t{minimum} * 1024) size = uint64_t{minimum} * 1024;
    if (size > kLargestKilobytes) size = kLargestKilobytes;
    return token.substr(0, prefix) + ToDecimal(static_cast<long long>(size)) + u"K";
  }
  uint32_t kilobytes = PercentOfKilobytes(bytes >> 10, percent);
  if (maximum != 0 && kilobytes > maximum * 1024u) kilobytes = maximum * 1024u;
  if (kilobytes < minimum * 1024u) kilobytes = minimum * 1024u;
  // Written as a signed 32-bit number: from 2 TB on the figure turns
  // negative and the JVM refuses the option.
  return token.substr(0, prefix) + ToDecimal(static_cast<int32_t>(kilobytes)) + u"K";
}

uint32_t StackSizeFromOption(const std::u16string& token) {
  const std::u16string value = token.size() > 4 ? token.substr(4) : std::u16string();
  if (value.empty() || !(IsDigit(value[0]) || value[0] == u':')) return 0;
  uint32_t multiplier = 1;
  size_t end = value.size();
  switch (value.back()) {
    case u'G':
    case u'g':
      multiplier = 1073741824u;
      --end;
      break;
    case u'K':
    case u'k':
      multiplier = 1024u;
      --end;
      break;
    case u'M':
    case u'm':
      multiplier = 1048576u;
      --end;
      break;
    default:
      break;
  }
  const std::vector<uint32_t> numbers = ReadNumbers(value, 0, end);
  return numbers.size() == 1 ? numbers[0] * multiplier : 0;
}

VmParameters SplitVmParameters(const std::u16string& value, MemoryFigures (*readFigures)()) {
  VmParameters result;
  bool haveFigures = false;
  MemoryFigures figures;
  // A value from a "+" section starts with a blank.
  size_t position = value.find_first_not_of(u' ');
  while (position != npos) {
    const size_t end = NextTokenEnd(value, position);
    std::u16string token = StripQuotePairs(value.substr(position, end - position));
    position = value.find_first_not_of(u' ', end);
    // The JVM refuses an empty option ("" in the value).
    if (token.empty()) continue;
    if (HasMemoryOptionName(token) && IsPercentageLetter(token.back())) {
      if (!haveFigures) {
        figures = readFigures();
        haveFigures = true;
      }
      token = ApplyMemoryPercentage(token, figures);
    }
    if (StartsWith(token, u"-Xss")) result.threadStackSize = StackSizeFromOption(token);
    result.options.push_back(std::move(token));
  }
  return result;
}

}  // namespace javelin
