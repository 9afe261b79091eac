#include "base/failure.h"

#include "base/message_table.h"

namespace javelin {

Failure MessageFailure(int messageId) { return Failure{messageId, 0, LoadMessage(messageId)}; }

Failure SystemErrorFailure(int messageId, uint32_t code) {
  return Failure{messageId, code,
                 FormatMessageText(LoadMessage(kMsgWindowsError),
                                   {LoadMessage(messageId), static_cast<long long>(code)})};
}

}  // namespace javelin
