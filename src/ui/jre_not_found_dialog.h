// Asking the user for a Java runtime when no source yielded one: a dialog on
// Windows, a prompt on a POSIX terminal.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace javelin {

// Where the download link points unless the configuration names another page.
inline constexpr char16_t kDefaultDownloadUrl[] = u"https://adoptium.net/";

struct JreDialogRequest {
  std::u16string message;  // message 206/207 already formatted with the requirement text
  int32_t jvmType = 0;  // "JVM Type": 0 any, 1 server, 2 favor_server (SelectJvmLibrary's jvmKind)
  std::u16string downloadUrl;  // the link's target; empty = the default address
};

struct JreDialogChoice {
  std::u16string javaHome;        // the chosen folder, one trailing separator
  std::u16string jvmLibraryPath;  // the library SelectJvmLibrary found in it
};

// Shows the dialog (Windows) or the terminal prompt (POSIX); nullopt when
// cancelled or it cannot be shown. Without a terminal on POSIX the message and
// the download address are reported as one "Error: ..." line first.
std::optional<JreDialogChoice> ShowJreNotFoundDialog(const JreDialogRequest& request);

// The download address the request asks for.
std::u16string DownloadUrlOf(const JreDialogRequest& request);

// Checks a folder the user picked: appends the path separator unless it ends
// in one and looks for a JVM library of `jvmType` in it (no java library and
// no version test for a picked folder). The folder with its separator and the
// library, or nullopt when it holds none.
std::optional<JreDialogChoice> CheckPickedFolder(const std::u16string& folder, int32_t jvmType);

}  // namespace javelin
