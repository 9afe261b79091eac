// The Windows side of the JRE-not-found dialog: the template's control ids and
// a replaceable folder picker for tests.
#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <string>

namespace javelin {

enum JreDialogControl : int {
  kJreDialogTemplate = 201,
  kJreDialogOk = IDOK,
  kJreDialogCancel = IDCANCEL,
  kJreDialogPathEdit = 201,
  kJreDialogBrowse = 202,
  kJreDialogMessage = 203,
  kJreDialogIcon = 204,
  kJreDialogLink = 205,
  kJreDialogHint = 206,
};

// Asks for a folder (owner window, title); nullopt when the user cancelled.
using FolderPicker = std::function<std::optional<std::wstring>(HWND, const std::wstring&)>;

// Replaces the shell's folder picker; an empty function restores it.
void SetFolderPickerForTesting(FolderPicker picker);

}  // namespace javelin
