#include "jvm/vm_parameters.h"

namespace javelin {

void SplitVmParameters(const std::u16string&, TextList&, Launcher&) {}
std::u16string StripQuotePairs(const std::u16string& token) { return token; }
std::u16string ApplyMemoryPercentage(const std::u16string& token, const MemoryFigures&) { return token; }
size_t ParseNumberList(const std::u16string& text, std::vector<uint32_t>&) { return text.size(); }
uint32_t StackSizeFromOption(const std::u16string&) { return 0; }

}  // namespace javelin
