// The JRE-not-found dialog, created from the launcher's own template and
// driven from a second thread with the window messages a user's actions send.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <thread>
#include <vector>

#include "base/message_table.h"
#include "jre/runtime_fixture.h"
#include "support/test_support.h"
#include "ui/display_check_win.h"
#include "ui/hyperlink_label_win.h"
#include "ui/jre_not_found_dialog.h"
#include "ui/jre_not_found_dialog_win.h"

namespace javelin {
namespace {

using test::Wide;

const std::u16string kMessage =
    u"Die Java-Laufzeitumgebung (JRE) wurde nicht gefunden. Bitte downloaden und installieren Sie "
    u"eine JRE "
    u"(neueste Version) von:";

std::wstring TextOf(HWND window) {
  wchar_t buffer[512] = {};
  GetWindowTextW(window, buffer, 512);
  return buffer;
}

// The dialog of this process, once it is shown (null after 10 s).
HWND WaitForDialog(const wchar_t* title = L"JRE nicht gefunden") {
  DWORD process = 0;
  for (int i = 0; i < 1000; ++i, Sleep(10)) {
    HWND found = FindWindowW(L"#32770", title);
    if (found && GetWindowThreadProcessId(found, &process) && process == GetCurrentProcessId() &&
        IsWindowVisible(found)) {
      return found;
    }
  }
  return nullptr;
}

void Command(HWND dialog, int id) {
  SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

bool OkEnabled(HWND dialog) { return IsWindowEnabled(GetDlgItem(dialog, IDOK)) != FALSE; }

// Checks what the dialog shows before anything is picked, and clicks the link.
void ExpectInitialState(HWND dialog, const std::wstring& link, HWND owner) {
  EXPECT_EQ(TextOf(GetDlgItem(dialog, kJreDialogMessage)), Wide(kMessage));
  EXPECT_EQ(TextOf(GetDlgItem(dialog, kJreDialogPathEdit)), L"");
  EXPECT_EQ(TextOf(GetDlgItem(dialog, kJreDialogLink)), link);
  EXPECT_NE(SendDlgItemMessageW(dialog, kJreDialogIcon, STM_GETICON, 0, 0), 0);
  EXPECT_FALSE(OkEnabled(dialog));

  EXPECT_EQ(GetWindow(dialog, GW_OWNER), owner);

  // The address is a link that leaves the dialog open.
  HWND label = GetDlgItem(dialog, kJreDialogLink);
  SendMessageW(label, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
  SendMessageW(label, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
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
    // The folder picker's answers, and whether OK is enabled after each.
    std::vector<std::pair<std::optional<std::wstring>, bool>> picks;
    std::wstring editAtEnd;
    std::function<void(HWND)> finish;
    std::u16string home;  // the choice; empty: none (the dialog stays open after a refused OK, even
                          // when posted)
    std::u16string url = u"";  // a vendor's address; an active window then owns the dialog
  } cases[] = {
      {"usable, picker cancelled, unusable, usable; OK",
       0,
       {{clientFolder, true}, {std::nullopt, true}, {unusable, false}, {clientFolder, true}},
       clientFolder,
       ok,
       client},
      {"C:\\ gets one backslash; OK", 1, {{L"C:\\", true}}, L"C:\\", ok, u"C:\\"},
      {"server required refuses a client-only folder",
       1,
       {{clientFolder, false}},
       clientFolder,
       ok,
       u""},
      {"usable; Escape",
       0,
       {{clientFolder, true}},
       clientFolder,
       [](HWND d) { PostMessageW(d, WM_KEYDOWN, VK_ESCAPE, 0); },
       u"",
       u"https://example.com/j"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    test::openedLinks.clear();
    HWND owner = c.url.empty() ? nullptr
                               : CreateWindowExW(0, L"Static", L"owner", WS_POPUP | WS_VISIBLE, 20,
                                                 30, 400, 300, nullptr, nullptr, nullptr, nullptr);
    if (owner != nullptr) SetActiveWindow(owner);
    const std::wstring link = Wide(c.url.empty() ? kDefaultDownloadUrl : c.url);
    size_t asked = 0;
    SetFolderPickerForTesting([&](HWND pickerOwner, const std::wstring& title) {
      EXPECT_EQ(TextOf(pickerOwner), L"JRE nicht gefunden");
      EXPECT_EQ(title, L"Nach dem JRE-Verzeichnis suchen");
      return asked < c.picks.size() ? c.picks[asked++].first : std::nullopt;
    });
    // Whatever the driver leaves open is cancelled afterwards.
    const bool refusedOk = c.home.empty() && c.jvmType == 1;
    std::thread driver([&] {
      HWND dialog = WaitForDialog();
      ASSERT_NE(dialog, nullptr) << "the dialog did not appear";
      ExpectInitialState(dialog, link, owner);
      for (const auto& [pick, okEnabled] : c.picks) {
        Command(dialog, kJreDialogBrowse);
        EXPECT_EQ(OkEnabled(dialog), okEnabled) << "after pick " << asked;
      }
      EXPECT_EQ(TextOf(GetDlgItem(dialog, kJreDialogPathEdit)), c.editAtEnd);
      c.finish(dialog);
      for (int i = 0; i < (refusedOk ? 20 : 500) && IsWindow(dialog); ++i) Sleep(10);
      EXPECT_EQ(IsWindow(dialog) != FALSE, refusedOk);
      if (IsWindow(dialog)) PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    });
    const std::optional<JreDialogChoice> choice =
        ShowJreNotFoundDialog({kMessage, c.jvmType, c.url});
    driver.join();
    if (owner != nullptr) DestroyWindow(owner);
    EXPECT_EQ(asked, c.picks.size());
    EXPECT_EQ(test::openedLinks,
              std::vector<std::wstring>{L"open " + link + L" " + std::to_wstring(SW_SHOWNORMAL)});
    EXPECT_EQ(choice.has_value(), !c.home.empty());
    if (choice && !c.home.empty()) {
      EXPECT_EQ(ToUtf8(choice->javaHome), ToUtf8(c.home));
      EXPECT_EQ(ToUtf8(choice->jvmLibraryPath),
                ToUtf8(test::LibraryIn(c.home,
                                       c.jvmType == 1 ? JvmFlavor::kServer : JvmFlavor::kClient)));
    }
  }
  SetFolderPickerForTesting(nullptr);
  HyperlinkLabel::SetShellOpenForTesting(nullptr);
  DeleteFileW(Wide(test::LibraryIn(u"C:\\", JvmFlavor::kServer)).c_str());
  RemoveDirectoryW(L"C:\\bin\\server");
  RemoveDirectoryW(L"C:\\bin");
}

// The template's German texts give way to the English set and to single
// replacements, the two controls without an id included.
TEST(JreNotFoundDialog, ShowsTheConfiguredLanguageAndReplacements) {
  SKIP_WITHOUT_DISPLAY();
  SelectMessageLanguage(u"en");
  ASSERT_TRUE(OverrideMessageText(u"Dialog Browse", u"Choose..."));
  std::vector<std::wstring> texts;
  std::thread driver([&] {
    HWND dialog = WaitForDialog(L"JRE not found");
    ASSERT_NE(dialog, nullptr) << "no dialog titled 'JRE not found'";
    for (HWND child = GetWindow(dialog, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
      const int id = GetDlgCtrlID(child);
      if (id != kJreDialogMessage && id != kJreDialogLink && id != kJreDialogIcon)
        texts.push_back(TextOf(child));
    }
    PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
  });
  EXPECT_FALSE(ShowJreNotFoundDialog({kMessage, 0, u""}));
  driver.join();
  ResetMessageTexts();
  // In template order: OK, Cancel, the folder field, its label, Browse, the
  // frame and the hint.
  const std::vector<std::wstring> expected = {
      L"OK",
      L"Cancel",
      L"",
      L"JRE path:",
      L"Choose...",
      L"No JRE",
      L"If you have a JRE installed, you can browse for it below:"};
  EXPECT_EQ(texts, expected);
}

}  // namespace
}  // namespace javelin
