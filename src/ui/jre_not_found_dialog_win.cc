// The modal dialog that asks for a Java runtime folder (template 201).
#include "ui/jre_not_found_dialog_win.h"

#include <commctrl.h>
#include <shlobj.h>

#include "base/message_table.h"
#include "ui/hyperlink_label_win.h"
#include "ui/jre_not_found_dialog.h"

namespace javelin {

namespace {

const UINT kFolderPickerFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE | BIF_NONEWFOLDERBUTTON;

FolderPicker testFolderPicker;  // replaces the shell's picker in tests

FolderPicker& TestFolderPicker() { return testFolderPicker; }

std::wstring Wide(const std::u16string& text) { return std::wstring(text.begin(), text.end()); }
std::u16string Utf16(const std::wstring& text) { return std::u16string(text.begin(), text.end()); }

// The shell's folder picker, rooted at the desktop.
std::optional<std::wstring> PickFolderWithShell(HWND owner, const std::wstring& title) {
  // The new dialog style needs COM in a single-threaded apartment.
  const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
  BROWSEINFOW info{};
  info.hwndOwner = owner;
  info.pidlRoot = nullptr;
  info.lpszTitle = title.c_str();
  info.ulFlags = kFolderPickerFlags;
  std::optional<std::wstring> folder;
  if (PIDLIST_ABSOLUTE item = SHBrowseForFolderW(&info)) {
    wchar_t path[MAX_PATH] = {};
    if (SHGetPathFromIDListW(item, path)) folder = path;
    CoTaskMemFree(item);
  }
  if (SUCCEEDED(com)) CoUninitialize();
  return folder;
}

class JreNotFoundDialog {
 public:
  explicit JreNotFoundDialog(const JreDialogRequest& request)
      : jvmKind_(request.jvmType),
        message_(Wide(request.message)),
        downloadUrl_(Wide(DownloadUrlOf(request))) {}

  INT_PTR Show(HWND owner) {
    return DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(kJreDialogTemplate), owner,
                           &JreNotFoundDialog::DialogProc, reinterpret_cast<LPARAM>(this));
  }

  JreDialogChoice choice() const { return {Utf16(chosenFolder_), Utf16(chosenLibrary_)}; }

 private:
  static INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
      SetLastError(0);
      if (SetWindowLongPtrW(dialog, DWLP_USER, lParam) == 0 && GetLastError() != 0) {
        EndDialog(dialog, IDCANCEL);
        return TRUE;
      }
      return reinterpret_cast<JreNotFoundDialog*>(lParam)->OnInitDialog(dialog);
    }
    auto* self = reinterpret_cast<JreNotFoundDialog*>(GetWindowLongPtrW(dialog, DWLP_USER));
    if (self == nullptr || message != WM_COMMAND || HIWORD(wParam) != BN_CLICKED) return FALSE;
    switch (LOWORD(wParam)) {
      case kJreDialogOk:
        // Only a usable folder ends the dialog with OK, also when the command
        // does not come from the (then disabled) button.
        if (!self->chosenLibrary_.empty()) EndDialog(dialog, IDOK);
        return TRUE;
      case kJreDialogCancel:
        EndDialog(dialog, IDCANCEL);
        return TRUE;
      case kJreDialogBrowse:
        self->OnBrowse(dialog);
        return TRUE;
      default:
        return FALSE;
    }
  }

  INT_PTR OnInitDialog(HWND dialog) {
    HWND link = GetDlgItem(dialog, kJreDialogLink);
    SetWindowTextW(link, downloadUrl_.c_str());
    if (link_.normalFont() == nullptr) {
      link_.SetNormalFont(reinterpret_cast<HFONT>(SendMessageW(link, WM_GETFONT, 0, 0)));
    }
    link_.Attach(link);
    SetDlgItemTextW(dialog, kJreDialogMessage, message_.c_str());
    if (MessageTextsCustomised()) SetTemplateTexts(dialog);
    EnableWindow(GetDlgItem(dialog, kJreDialogOk), FALSE);
    Centre(dialog);
    return TRUE;
  }

  // The template carries the German texts; another language or replaced
  // texts are set here. The frame and the folder label have no id of their
  // own: they are the one group box and the one plain text without an id.
  static void SetTemplateTexts(HWND dialog) {
    SetWindowTextW(dialog, Wide(LoadDialogText(DialogText::kTitle)).c_str());
    const struct {
      int id;
      DialogText text;
    } kItems[] = {{kJreDialogOk, DialogText::kOkButton},
                  {kJreDialogCancel, DialogText::kCancelButton},
                  {kJreDialogBrowse, DialogText::kBrowseButton},
                  {kJreDialogHint, DialogText::kSearchHint}};
    for (const auto& item : kItems)
      SetDlgItemTextW(dialog, item.id, Wide(LoadDialogText(item.text)).c_str());
    for (HWND child = GetWindow(dialog, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
      if (static_cast<WORD>(GetDlgCtrlID(child)) != 0xFFFF) continue;
      wchar_t className[16] = {};
      GetClassNameW(child, className, 16);
      const bool frame = lstrcmpiW(className, L"Button") == 0;
      SetWindowTextW(
          child,
          Wide(LoadDialogText(frame ? DialogText::kGroupTitle : DialogText::kPathLabel)).c_str());
    }
  }

  // Centres the dialog over a visible, not minimised owner, else over the
  // work area of the nearest monitor, and keeps it inside that work area.
  static void Centre(HWND dialog) {
    RECT box{};
    if (!GetWindowRect(dialog, &box)) return;
    HWND owner = GetWindow(dialog, GW_OWNER);
    const bool overOwner = owner != nullptr && IsWindowVisible(owner) && !IsIconic(owner);
    HMONITOR monitor = MonitorFromWindow(overOwner ? owner : dialog, MONITOR_DEFAULTTONEAREST);
    MONITORINFO info{};
    info.cbSize = sizeof(info);
    if (!GetMonitorInfoW(monitor, &info)) return;
    const RECT& work = info.rcWork;
    RECT area = work;
    if (overOwner) GetWindowRect(owner, &area);
    const LONG width = box.right - box.left;
    const LONG height = box.bottom - box.top;
    LONG left = area.left + ((area.right - area.left) - width) / 2;
    LONG top = area.top + ((area.bottom - area.top) - height) / 2;
    if (left + width > work.right) left = work.right - width;
    if (top + height > work.bottom) top = work.bottom - height;
    if (left < work.left) left = work.left;
    if (top < work.top) top = work.top;
    SetWindowPos(dialog, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  }

  void OnBrowse(HWND dialog) {
    const std::wstring title = Wide(LoadMessage(kMsgBrowseJreTitle));
    const FolderPicker& testPicker = TestFolderPicker();
    const std::optional<std::wstring> folder =
        testPicker ? testPicker(dialog, title) : PickFolderWithShell(dialog, title);
    if (!folder) return;
    SetDlgItemTextW(dialog, kJreDialogPathEdit, folder->c_str());
    chosenFolder_ = *folder;
    if (chosenFolder_.empty() || chosenFolder_.back() != L'\\') chosenFolder_ += L'\\';
    if (std::optional<JreDialogChoice> usable = CheckPickedFolder(Utf16(chosenFolder_), jvmKind_)) {
      chosenLibrary_ = Wide(usable->jvmLibraryPath);
    } else {
      chosenLibrary_.clear();
    }
    EnableWindow(GetDlgItem(dialog, kJreDialogOk), chosenLibrary_.empty() ? FALSE : TRUE);
  }

  int32_t jvmKind_;
  std::wstring message_;
  std::wstring downloadUrl_;
  std::wstring chosenFolder_;
  std::wstring chosenLibrary_;
  HyperlinkLabel link_;
};

}  // namespace

void SetFolderPickerForTesting(FolderPicker picker) { TestFolderPicker() = std::move(picker); }

std::optional<JreDialogChoice> ShowJreNotFoundDialog(const JreDialogRequest& request) {
  INITCOMMONCONTROLSEX controls{};
  controls.dwSize = sizeof(controls);
  controls.dwICC = ICC_WIN95_CLASSES;
  InitCommonControlsEx(&controls);

  JreNotFoundDialog dialog(request);
  if (dialog.Show(GetActiveWindow()) != IDOK) return std::nullopt;
  return dialog.choice();
}

}  // namespace javelin
