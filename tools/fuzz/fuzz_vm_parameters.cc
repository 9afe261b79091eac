// Fuzzes the "Virtual Machine Parameters" tokenizer with the percentage
// rules: any text splits into options, quote-free text into its words, and a
// percentage option becomes a kilobyte figure that is never negative on a
// 64-bit build.
#include <cstddef>
#include <cstdint>
#include <string>

#include "base/text.h"
#include "fuzz_check.h"
#include "fuzz_input.h"
#include "jvm/vm_parameters.h"

namespace {

using namespace javelin;

MemoryFigures figures;
MemoryFigures FuzzFigures() { return figures; }

// The tokenizer's one call site: when its signature changes, only this
// function does.
TextList Split(const std::u16string& value, uint32_t& stackSize) {
  VmParameters parameters = SplitVmParameters(value, FuzzFigures);
  stackSize = parameters.threadStackSize;
  return parameters.options;
}

bool HasMemoryOptionName(const std::u16string& option) {
  return option.compare(0, 4, u"-Xms") == 0 || option.compare(0, 4, u"-Xmx") == 0 ||
         option.compare(0, 4, u"-Xss") == 0;
}

bool IsPercentageForm(const std::u16string& option) {
  if (!HasMemoryOptionName(option)) return false;
  const char16_t last = option.back();
  return last == u'P' || last == u'p' || last == u'T' || last == u't';
}

// The blank-separated words of `text`, none empty.
TextList Words(const std::u16string& text) {
  TextList words;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find(u' ', start);
    if (end == std::u16string::npos) end = text.size();
    if (end > start) words.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  return words;
}

// A rewritten option: its prefix, decimal digits (a '-' only on 32-bit
// builds) and 'K'.
void CheckRewritten(const std::u16string& token, const std::u16string& rewritten, unsigned bits) {
  Check(rewritten.size() >= 2 && rewritten.back() == u'K');
  size_t prefix = 0;
  while (prefix < token.size() && !(token[prefix] >= u'0' && token[prefix] <= u'9') &&
         token[prefix] != u':') {
    ++prefix;
  }
  Check(rewritten.compare(0, prefix, token, 0, prefix) == 0);
  size_t digits = prefix;
  if (bits == 32 && digits < rewritten.size() && rewritten[digits] == u'-') ++digits;
  Check(digits + 1 < rewritten.size());
  uint64_t value = 0;
  for (size_t i = digits; i + 1 < rewritten.size(); ++i) {
    Check(rewritten[i] >= u'0' && rewritten[i] <= u'9');
    value = value * 10 + static_cast<uint64_t>(rewritten[i] - u'0');
    Check(value <= 2147483648u);
  }
  if (bits == 64) Check(value <= 2147483647u);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 16) return 0;
  figures.totalPhysical = NumberFromBytes(data, size);
  figures.availableVirtual = NumberFromBytes(data + 8, size - 8);
  const std::u16string value = UnitsFromBytes(data + 16, size - 16);

  uint32_t stackSize = 12345;
  const TextList options = Split(value, stackSize);
  // The JVM refuses an empty option: there is none.
  for (const std::u16string& option : options) Check(!option.empty());
  Check(options.size() <= value.size());
  size_t lengths = 0;
  for (const std::u16string& option : options) lengths += option.size();

  if (value.find(u'"') == std::u16string::npos) {
    // Without quotes the options are the words; only percentage forms change.
    const TextList words = Words(value);
    Check(options.size() == words.size());
    for (size_t i = 0; i < options.size(); ++i) {
      if (IsPercentageForm(words[i])) {
        CheckRewritten(words[i], options[i], kProcessBits);
      } else {
        Check(options[i] == words[i]);
      }
    }
  } else {
    // Quote pairs only ever take characters away, except where a
    // percentage form grows into its figure.
    bool rewritten = false;
    for (const std::u16string& option : options)
      rewritten = rewritten || HasMemoryOptionName(option);
    if (!rewritten) Check(lengths <= value.size());
  }

  // The stack size is that of the last -Xss option, or 0.
  uint32_t expectedStack = 0;
  for (const std::u16string& option : options) {
    if (option.compare(0, 4, u"-Xss") == 0) expectedStack = StackSizeFromOption(option);
  }
  Check(stackSize == expectedStack);

  // The whole text as one percentage option, for both bitnesses.
  if (IsPercentageForm(value)) {
    for (unsigned bits : {32u, 64u})
      CheckRewritten(value, ApplyMemoryPercentage(value, figures, bits), bits);
  }
  return 0;
}
