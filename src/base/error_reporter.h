// The one error channel: every failure is reported once, where it happens, as
// a line "Error: %s \n" on standard output, or in an error dialog when the
// launcher runs on a desktop without anywhere to write that line.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>

#include "base/failure.h"

namespace javelin {

// Shows `text` in an error dialog when error dialogs are allowed and one can
// be shown; otherwise writes "Error: " + text + " \n" to standard output and
// flushes it: UTF-8 to a file or pipe (and on POSIX always), UTF-16 to a
// Windows console.
void ReportMessage(const std::u16string& text);

// Error dialogs are off unless the process setup finds that the launcher
// has no standard output a user reads; the settings turn them off again in
// service mode.
void AllowErrorDialogs(bool allowed);
bool ErrorDialogsAllowed();
// The dialogs' title; empty (the default) stands for the executable's name.
void SetErrorDialogTitle(const std::u16string& title);

// Formats `format` (a message text with one %s) with `argument`, then reports.
void ReportFormatted(const std::u16string& format, const std::u16string& argument);

// Formats message 202 with the text of `messageId` and `errorCode` (a
// Windows error or an errno value) printed as a signed 32-bit number, then
// reports.
void ReportSystemError(int messageId, uint32_t errorCode);

// Reports the failure's text; a failure without text has been reported
// before and prints nothing.
void ReportFailure(const Failure& failure);

// Formats message 203 with the text of `messageId` and the reason for the
// JNI result code (-1..-6 give 225..230, anything else an empty reason).
void ReportJniError(int messageId, int32_t jniResult);

// The platform's last error code (GetLastError / errno).
uint32_t LastErrorCode();

// The platform's primitive that writes a whole line of text to standard
// output; implemented per platform.
void WriteStandardOutput(const std::u16string& text);

// The platform's error dialog: `text` with an error icon under `title`
// (empty: the executable's name); waits until the user closes it. False
// when no dialog could be shown.
bool ShowErrorDialog(const std::u16string& title, const std::u16string& text);

}  // namespace javelin
