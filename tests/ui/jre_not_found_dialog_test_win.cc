// The JRE-not-found dialog, created from the launcher's own template and
// driven from a second thread with the window messages a user's actions send.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <thread>
#include <vector>

#include "jre/runtime_fixture.h"
#include "support/test_support.h"
#include "ui/display_check_win.h"
#include "ui/hyperlink_label_win.h"
#include "ui/jre_not_found_dialog.h"
#include "ui/jre_not_found_dialog_win.h"

namespace javelin {
namespace {

using Pick = std::optional<std::wstring>;
using test::Wide;

std::wstring TextOf(HWND window) {
  wchar_t buffer[512] = {};
  GetWindowTextW(window, buffer, 512);
  return buffer;
}

// The dialog of this process, once it is shown (null after 10 s).
HWND WaitForDialog() {
  for (int i = 0; i < 1000; ++i, Sleep(10)) {
    for (HWND found = nullptr;
         (found = FindWindowExW(nullptr, found, L"#32770", L"JRE nicht gefunden")) != nullptr;) {
      DWORD process = 0;
      GetWindowThreadProcessId(found, &process);
      if (process == GetCurrentProcessId() && IsWindowVisible(found)) return found;
    }
  }
  return nullptr;
}

void Command(HWND dialog, int id) {
  SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

bool OkEnabled(HWND dialog) { return IsWindowEnabled(GetDlgItem(dialog, IDOK)) != FALSE; }

// Shows the dialog on this thread while `drive` acts on it from another one;
// whatever `drive` leaves open is cancelled afterwards. The folder picker seam
// answers `picks` in turn; `next` counts what it was asked.
std::optional<JreDialogChoice> RunDialog(const JreDialogRequest& request,
                                         const std::vector<Pick>& picks, size_t& next,
                                         const std::function<void(HWND)>& drive) {
  SetFolderPickerForTesting([&](HWND owner, const std::wstring& title) {
    EXPECT_EQ(TextOf(owner), L"JRE nicht gefunden");
    EXPECT_EQ(title, L"Nach dem JRE-Verzeichnis suchen");
    return next < picks.size() ? picks[next++] : std::nullopt;
  });
  std::thread driver([&] {
    HWND dialog = WaitForDialog();
    ASSERT_NE(dialog, nullptr) << "the dialog did not appear";
    drive(dialog);
    if (IsWindow(dialog)) PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
  });
  std::optional<JreDialogChoice> choice = ShowJreNotFoundDialog(request);
  driver.join();
  SetFolderPickerForTesting(nullptr);
  return choice;
}

JreDialogRequest Request(int32_t jvmType = 0, const std::u16string& url = u"") {
  return {u"Die Java-Laufzeitumgebung (JRE) wurde nicht gefunden. Bitte downloaden und "
          u"installieren Sie eine JRE (neueste Version) von:",
          jvmType, url};
}

// The address the link shows for a request's `url`.
std::wstring LinkOf(const std::u16string& url) {
  return Wide(url.empty() ? kDefaultDownloadUrl : url);
}

// Checks what the dialog shows before anything is picked, and clicks the link.
void ExpectInitialState(HWND dialog, const std::u16string& url, HWND owner) {
  EXPECT_EQ(TextOf(GetDlgItem(dialog, 203)), Wide(Request().message));
  EXPECT_EQ(TextOf(GetDlgItem(dialog, 201)), L"");
  EXPECT_EQ(TextOf(GetDlgItem(dialog, 205)), LinkOf(url));
  EXPECT_NE(SendDlgItemMessageW(dialog, 204, STM_GETICON, 0, 0), 0);
  EXPECT_FALSE(OkEnabled(dialog));
  Command(dialog, IDOK);  // without a usable folder OK does not end the dialog
  EXPECT_TRUE(IsWindow(dialog));

  // Centred over the owner, else over the work area, and inside the work area.
  EXPECT_EQ(GetWindow(dialog, GW_OWNER), owner);
  RECT box{}, work{}, area{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  GetWindowRect(dialog, &box);
  if (owner == nullptr || !GetWindowRect(owner, &area)) area = work;
  EXPECT_LE(std::abs((box.left + box.right) - (area.left + area.right)), 2);
  if (box.top > work.top) {  // not pushed down into the work area
    EXPECT_LE(std::abs((box.top + box.bottom) - (area.top + area.bottom)), 2);
  }
  EXPECT_GE(box.top, work.top);

  // The address is a link that gets Enter in a dialog and leaves the dialog open.
  HWND link = GetDlgItem(dialog, 205);
  EXPECT_EQ(SendMessageW(link, WM_GETDLGCODE, 0, 0), DLGC_WANTCHARS);
  SendMessageW(link, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
  SendMessageW(link, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
  EXPECT_TRUE(IsWindow(dialog));
}

TEST(JreNotFoundDialog, BrowseEnablesOkOnlyForAUsableFolderAndOkOrCancelEnds) {
  SKIP_WITHOUT_DISPLAY();
  test::TempDir dir;
  const std::u16string client = test::MakeRuntime(dir / u"client", {JvmFlavor::kClient}, false);
  const std::wstring clientFolder = Wide(dir / u"client"), unusable = Wide(dir.path());
  // The test prefix's own C: drive is a server runtime for a moment.
  ASSERT_EQ(GetFileAttributesW(L"C:\\bin"), INVALID_FILE_ATTRIBUTES) << "C:\\bin exists already";
  test::MakeRuntime(u"C:\\", {JvmFlavor::kServer}, false);
  HyperlinkLabel::SetShellOpenForTesting(&test::RecordOpen);

  const auto ok = [](HWND d) { PostMessageW(d, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0); };
  const struct {
    const char* name;
    int32_t jvmType;
    std::vector<Pick> picks;
    std::vector<bool> okAfterEach;
    std::wstring editAtEnd;
    std::function<void(HWND)> finish;
    std::u16string home;  // the choice; empty: none (the dialog stays open after a refused OK)
    std::u16string url = u"";  // a vendor's address; an active window then owns the dialog
  } cases[] = {
      {"usable, picker cancelled, unusable, usable; OK", 0,
       {clientFolder, std::nullopt, unusable, clientFolder}, {true, true, false, true},
       clientFolder, ok, client},
      {"C:\\ gets one backslash; OK", 1, {L"C:\\"}, {true}, L"C:\\", ok, u"C:\\"},
      {"server required refuses a client-only folder", 1, {clientFolder}, {false}, clientFolder,
       ok, u""},
      {"nothing picked; Escape", 0, {std::nullopt}, {false}, L"",
       [](HWND d) { PostMessageW(d, WM_KEYDOWN, VK_ESCAPE, 0); }, u"", u"https://example.com/j"},
      {"usable; close box", 0, {clientFolder}, {true}, clientFolder,
       [](HWND d) { PostMessageW(d, WM_SYSCOMMAND, SC_CLOSE, 0); }, u""},
      {"usable; Abbrechen", 0, {clientFolder}, {true}, clientFolder,
       [](HWND d) { Command(d, IDCANCEL); }, u""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    test::openedLinks.clear();
    HWND owner = c.url.empty() ? nullptr
                               : CreateWindowExW(0, L"Static", L"owner", WS_POPUP | WS_VISIBLE, 20,
                                                 30, 400, 300, nullptr, nullptr, nullptr, nullptr);
    if (owner != nullptr) SetActiveWindow(owner);
    size_t asked = 0;
    const bool refusedOk = c.home.empty() && c.jvmType == 1;
    const auto choice = RunDialog(Request(c.jvmType, c.url), c.picks, asked, [&](HWND dialog) {
      ExpectInitialState(dialog, c.url, owner);
      for (size_t i = 0; i < c.picks.size(); ++i) {
        Command(dialog, 202);
        EXPECT_EQ(OkEnabled(dialog), c.okAfterEach[i]) << "after pick " << i;
      }
      EXPECT_EQ(TextOf(GetDlgItem(dialog, 201)), c.editAtEnd);
      c.finish(dialog);
      for (int i = 0; i < (refusedOk ? 20 : 500) && IsWindow(dialog); ++i) Sleep(10);
      EXPECT_EQ(IsWindow(dialog) != FALSE, refusedOk);
    });
    if (owner != nullptr) DestroyWindow(owner);
    EXPECT_EQ(asked, c.picks.size());
    EXPECT_EQ(test::openedLinks, std::vector<std::wstring>{L"open " + LinkOf(c.url) + L" " +
                                                           std::to_wstring(SW_SHOWNORMAL)});
    EXPECT_EQ(choice.has_value(), !c.home.empty());
    if (choice && !c.home.empty()) {
      EXPECT_EQ(ToUtf8(choice->javaHome), ToUtf8(c.home));
      EXPECT_EQ(ToUtf8(choice->jvmLibraryPath),
                ToUtf8(test::LibraryIn(c.home, c.jvmType == 1 ? JvmFlavor::kServer
                                                              : JvmFlavor::kClient)));
    }
  }
  HyperlinkLabel::SetShellOpenForTesting(nullptr);
  DeleteFileW(Wide(test::LibraryIn(u"C:\\", JvmFlavor::kServer)).c_str());
  RemoveDirectoryW(L"C:\\bin\\server");
  RemoveDirectoryW(L"C:\\bin");
}

}  // namespace
}  // namespace javelin
