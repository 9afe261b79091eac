#include "jvm/library_load_error.h"

#include "base/message_table.h"
#include "base/text.h"

namespace javelin {

std::u16string FormatLibraryLoadMessage(const std::u16string& path, const LibraryLoadError& error) {
  std::u16string format = LoadMessage(kMsgCannotLoadJvmLibrary);
  if (error.reason.empty()) {
    return FormatMessageText(format,
                             {path, static_cast<long long>(static_cast<int32_t>(error.code))});
  }

  std::u16string reason = error.reason;
  const std::u16string repeatedPath = path + u": ";
  if (!path.empty() && StartsWith(reason, repeatedPath) && reason.size() > repeatedPath.size()) {
    reason.erase(0, repeatedPath.size());
  }
  // The number's group "(Fehlernummer= %d)" becomes "(%s)" for the reason.
  const size_t number = format.find(u"%d");
  const size_t open = number == std::u16string::npos ? number : format.rfind(u'(', number);
  const size_t close = number == std::u16string::npos ? number : format.find(u')', number);
  if (open != std::u16string::npos && close != std::u16string::npos) {
    format.replace(open, close - open + 1, u"(%s)");
  } else {
    format += u" (%s)";
  }
  return FormatMessageText(format, {path, reason});
}

}  // namespace javelin
