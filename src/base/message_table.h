// The launcher's texts: the message table (ids 202 to 230) and the texts of
// the JRE-not-found question, German unless the configuration selects the
// English set or replaces single texts.
#pragma once

#include <initializer_list>
#include <cstdint>
#include <string>

#include "base/text.h"

namespace javelin {

enum MessageId : int {
  kMsgWindowsError = 202,
  kMsgJniErrorReason = 203,
  kMsgComError = 204,
  kMsgJniError = 205,
  kMsgJreNotFoundServer = 206,
  kMsgJreNotFound = 207,
  kMsgModulePath = 208,
  kMsgNoClassPath = 209,
  kMsgNoMainClass = 210,
  kMsgCannotLoadMainClass = 211,
  kMsgNoCreateJavaVm = 212,
  kMsgCannotCreateJvm = 213,
  kMsgBrowseJreTitle = 214,
  kMsgMainClassNotFound = 215,
  kMsgNoMainMethod = 216,
  kMsgNewestVersion = 217,
  kMsgMaximumVersion = 218,
  kMsgMinimumVersion = 219,
  kMsgExactVersion = 220,
  kMsgVersionBetween = 221,
  kMsgCannotLoadJvmLibrary = 222,
  kMsgCannotInitialize = 223,
  kMsgCannotInitializeModule = 224,
  kMsgJniReasonUnknown = 225,
  kMsgJniReasonDetached = 226,
  kMsgJniReasonVersion = 227,
  kMsgJniReasonNoMemory = 228,
  kMsgJniReasonExists = 229,
  kMsgJniReasonInvalid = 230,
};

// The text of `id` in the selected language, or its replacement; empty for
// ids that are not in the table.
std::u16string LoadMessage(int id);

// The texts of the JRE-not-found question besides its message.
enum class DialogText : int {
  kTitle,       // the window title
  kGroupTitle,  // the frame around the message; also "no runtime in this folder"
  kSearchHint,  // the line above the folder field
  kPathLabel,   // the folder field's label
  kBrowseButton,
  kOkButton,
  kCancelButton,
};
std::u16string LoadDialogText(DialogText text);

// Selects the built-in set of texts by language code: "en" (any letter case)
// gives English; anything else keeps German. True when English was selected.
bool SelectMessageLanguage(const std::u16string& code);

// Replaces one text: `name` is a message id in decimal ("210") or a dialog
// text name ("Dialog Title", "Dialog Frame", "Dialog Hint", "Dialog Path
// Label", "Dialog Browse", "Dialog OK", "Dialog Cancel"), in any letter
// case. Refused (false, nothing changes) for an unknown name or when `text`
// does not have the same %s/%d placeholders in the same order as the
// built-in text.
bool OverrideMessageText(const std::u16string& name, const std::u16string& text);

// Every name OverrideMessageText accepts, in table order.
std::u16string MessageTextName(int index);
int MessageTextCount();

// Whether a language or a replacement changed any text.
bool MessageTextsCustomised();

// Back to the German texts without replacements.
void ResetMessageTexts();

// One argument of FormatMessageText: a text for %s or a number for %d.
struct FormatArgument {
  FormatArgument(const std::u16string& text) : text(&text) {}
  FormatArgument(const char16_t* literal) : literalText(literal) {}
  FormatArgument(int number) : number(number), isNumber(true) {}
  FormatArgument(long number) : number(number), isNumber(true) {}
  FormatArgument(long long number) : number(number), isNumber(true) {}
  FormatArgument(unsigned number) : number(number), isNumber(true) {}
  FormatArgument(unsigned long number) : number(static_cast<long long>(number)), isNumber(true) {}
  const std::u16string* text = nullptr;
  const char16_t* literalText = nullptr;
  long long number = 0;
  bool isNumber = false;
};

// printf-style formatting restricted to what the message table uses: %s
// takes the next text, %d the next number (signed 32-bit), %% is a percent
// sign. Missing arguments format as empty text or 0.
std::u16string FormatMessageText(const std::u16string& format,
                                 std::initializer_list<FormatArgument> arguments);

}  // namespace javelin
