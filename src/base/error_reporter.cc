#include "base/error_reporter.h"

#include "base/message_table.h"

namespace javelin {

namespace {

bool errorDialogsAllowed = false;
std::u16string errorDialogTitle;

}  // namespace

void ReportMessage(const std::u16string& text) {
  if (errorDialogsAllowed) {
    // A dialog shows the text without the line feeds that end some messages.
    std::u16string shown = text;
    while (!shown.empty() && shown.back() == u'\n') shown.pop_back();
    if (ShowErrorDialog(errorDialogTitle, shown)) return;
  }
  WriteStandardOutput(u"Error: " + text + u" \n");
}

void AllowErrorDialogs(bool allowed) { errorDialogsAllowed = allowed; }

bool ErrorDialogsAllowed() { return errorDialogsAllowed; }

void SetErrorDialogTitle(const std::u16string& title) { errorDialogTitle = title; }

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
  if (jniResult >= -6 && jniResult <= -1)
    reason = LoadMessage(kMsgJniReasonUnknown - 1 - jniResult);
  const std::u16string text = LoadMessage(messageId);
  ReportMessage(FormatMessageText(LoadMessage(kMsgJniErrorReason), {text, reason}));
}

}  // namespace javelin
