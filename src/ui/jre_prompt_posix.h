// The terminal prompt that stands in for the JRE-not-found dialog on POSIX.
#pragma once

#include <optional>

#include "ui/jre_not_found_dialog.h"

namespace javelin {

// Shows the request's message and download address on `output` and asks for
// a Java folder on `input` until the answer holds a JVM library of the
// request's kind. An empty answer or the end of the input cancels. Relative
// answers are taken from the current directory. Reads byte by byte, so that
// nothing after the answer is taken from the application's input.
std::optional<JreDialogChoice> PromptForJre(const JreDialogRequest& request, int input, int output);

}  // namespace javelin
