#include "base/error_reporter.h"

#include "base/message_table.h"

namespace javelin {

void ReportMessage(const std::u16string& text) {
  WriteStandardOutput(u"Error: " + text + u" \n");
}

void ReportFormatted(const std::u16string& format, const std::u16string& argument) {
  ReportMessage(FormatMessageText(format, {argument}));
}

void ReportSystemError(int messageId, uint32_t errorCode) {
  ReportMessage(SystemErrorFailure(messageId, errorCode).text);
}

void ReportFailure(const Failure& failure) {
  if (!failure.text.empty()) ReportMessage(failure.text);
}

void ReportJniError(int messageId, int32_t jniResult) {
  std::u16string reason;
  if (jniResult >= -6 && jniResult <= -1) reason = LoadMessage(kMsgJniReasonUnknown - 1 - jniResult);
  const std::u16string text = LoadMessage(messageId);
  ReportMessage(FormatMessageText(LoadMessage(kMsgJniErrorReason), {text, reason}));
}

}  // namespace javelin
