#include "base/text.h"

namespace javelin {

std::string ToJvmNarrow(std::u16string_view text) { return ToUtf8(text); }

}  // namespace javelin
