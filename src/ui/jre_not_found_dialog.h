// Asking the user for a Java runtime when no source yielded one.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace javelin {

struct JreDialogRequest {
  std::u16string message;      // message 206/207 formatted with the requirement text
  int32_t jvmType = 0;         // "JVM Type", for the library check of the chosen folder
  std::u16string downloadUrl;  // the link's target; empty: the default address
};

struct JreDialogChoice {
  std::u16string javaHome;        // the chosen folder, one trailing separator
  std::u16string jvmLibraryPath;  // the JVM library found in it
};

// Shows `request.message` and lets the user choose a runtime folder. Nothing
// when the user cancelled or the question could not be asked.
std::optional<JreDialogChoice> ShowJreNotFoundDialog(const JreDialogRequest& request);

}  // namespace javelin
