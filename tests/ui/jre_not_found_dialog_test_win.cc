// The JRE-not-found dialog, created from the launcher's own template and
// driven from a second thread with the window messages a user's actions send.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
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

const wchar_t kTitle[] = L"JRE nicht gefunden";

std::wstring Wide(const std::u16string& text) { return std::wstring(text.begin(), text.end()); }

std::wstring TextOf(HWND window) {
  wchar_t buffer[512] = {};
  GetWindowTextW(window, buffer, 512);
  return buffer;
}

// The dialog of this process, once it is shown (null after 10 s).
HWND WaitForDialog() {
  for (int i = 0; i < 1000; ++i) {
    HWND found = nullptr;
    while ((found = FindWindowExW(nullptr, found, L"#32770", kTitle)) != nullptr) {
      DWORD process = 0;
      GetWindowThreadProcessId(found, &process);
      if (process == GetCurrentProcessId() && IsWindowVisible(found)) return found;
    }
    Sleep(10);
  }
  return nullptr;
}

void Command(HWND dialog, int id) {
  SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

bool OkEnabled(HWND dialog) { return IsWindowEnabled(GetDlgItem(dialog, IDOK)) != FALSE; }

// What the folder picker seam was asked and what it answers.
struct Picks {
  std::vector<std::optional<std::wstring>> answers;
  size_t next = 0;
  std::wstring title;
  HWND owner = nullptr;
};

// Shows the dialog with `request` on this thread while `drive` acts on it
// from another one. Whatever `drive` leaves open is cancelled afterwards.
std::optional<JreDialogChoice> RunDialog(const JreDialogRequest& request, Picks& picks,
                                         const std::function<void(HWND)>& drive) {
  SetFolderPickerForTesting([&picks](HWND owner, const std::wstring& title) {
    picks.owner = owner;
    picks.title = title;
    return picks.next < picks.answers.size() ? picks.answers[picks.next++] : std::nullopt;
  });
  std::thread driver([&] {
    HWND dialog = WaitForDialog();
    EXPECT_NE(dialog, nullptr) << "the dialog did not appear";
    if (dialog == nullptr) return;
    drive(dialog);
    if (IsWindow(dialog)) PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
  });
  std::optional<JreDialogChoice> choice = ShowJreNotFoundDialog(request);
  driver.join();
  SetFolderPickerForTesting(nullptr);
  return choice;
}

JreDialogRequest Request(int32_t jvmType = 0) {
  JreDialogRequest request;
  request.message =
      u"Die Java-Laufzeitumgebung (JRE) wurde nicht gefunden. Bitte downloaden und installieren "
      u"Sie eine JRE (neueste Version) von:";
  request.jvmType = jvmType;
  return request;
}

TEST(JreNotFoundDialog, ShowsTheTemplateWithOkDisabled) {
  SKIP_WITHOUT_DISPLAY();
  struct Control {
    int id;
    const wchar_t* className;
    std::wstring text;
    DWORD style;  // the bits that must be set besides WS_CHILD | WS_VISIBLE
    RECT units;   // x, y, width, height in dialog units
  };
  const std::vector<Control> expected = {
      {IDOK, L"Button", L"Ok", WS_TABSTOP | BS_DEFPUSHBUTTON, {107, 122, 50, 14}},
      {IDCANCEL, L"Button", L"Abbrechen", WS_TABSTOP, {161, 122, 50, 14}},
      {201, L"Edit", L"", WS_TABSTOP | WS_BORDER | ES_READONLY | ES_AUTOHSCROLL, {60, 89, 91, 14}},
      {-1, L"Static", L"JRE Pfad:", WS_GROUP, {12, 92, 45, 8}},
      {202, L"Button", L"Durchsuche...", WS_TABSTOP, {154, 89, 52, 14}},
      {-1, L"Button", L"Kein JRE", BS_GROUPBOX, {8, 11, 203, 103}},
      {204, L"Static", L"", SS_ICON, {16, 24, 20, 20}},
      {203, L"Static", Wide(Request().message), WS_GROUP, {42, 24, 149, 24}},
      {205, L"Static", Wide(kDefaultDownloadUrl), WS_GROUP | SS_NOTIFY, {44, 55, 75, 8}},
      {206, L"Static",
       L"Wenn Sie ein JRE installiert haben, k\u00F6nnen Sie unten danach suchen:", WS_GROUP,
       {12, 70, 195, 17}},
  };
  Picks picks;
  const auto choice = RunDialog(Request(), picks, [&](HWND dialog) {
    EXPECT_EQ(TextOf(dialog), kTitle);
    const LONG_PTR style = GetWindowLongPtrW(dialog, GWL_STYLE);
    EXPECT_EQ(style & (WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME),
              WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME);
    size_t index = 0;
    for (HWND child = GetWindow(dialog, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT), ++index) {
      ASSERT_LT(index, expected.size());
      const Control& control = expected[index];
      SCOPED_TRACE(control.id);
      EXPECT_EQ(GetDlgCtrlID(child), control.id);
      wchar_t className[32] = {};
      GetClassNameW(child, className, 32);
      EXPECT_EQ(lstrcmpiW(className, control.className), 0) << className;
      if (control.id != 204) {
        EXPECT_EQ(TextOf(child), control.text);
      }
      // The edit control turns its border into a sunken client edge.
      DWORD childStyle = static_cast<DWORD>(GetWindowLongPtrW(child, GWL_STYLE));
      if (GetWindowLongPtrW(child, GWL_EXSTYLE) & WS_EX_CLIENTEDGE) childStyle |= WS_BORDER;
      EXPECT_EQ(childStyle & control.style, control.style) << std::hex << childStyle;
      // Position and size are converted from dialog units one by one.
      RECT position = {control.units.left, control.units.top, 0, 0};
      RECT size = {0, 0, control.units.right, control.units.bottom};
      MapDialogRect(dialog, &position);
      MapDialogRect(dialog, &size);
      RECT actual{};
      GetWindowRect(child, &actual);
      MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&actual), 2);
      EXPECT_EQ(actual.left, position.left);
      EXPECT_EQ(actual.top, position.top);
      if (control.id != 204) {  // an icon static takes the icon's size
        EXPECT_EQ(actual.right - actual.left, size.right);
        EXPECT_EQ(actual.bottom - actual.top, size.bottom);
      }
    }
    EXPECT_EQ(index, expected.size());
    EXPECT_FALSE(OkEnabled(dialog));
    // The error icon is shown and the address is a link.
    EXPECT_NE(SendDlgItemMessageW(dialog, 204, STM_GETICON, 0, 0), 0);
    EXPECT_EQ(SendDlgItemMessageW(dialog, 205, WM_GETDLGCODE, 0, 0), DLGC_WANTCHARS);
    // Without a usable folder an OK command does not end the dialog.
    Command(dialog, IDOK);
    EXPECT_TRUE(IsWindow(dialog));
  });
  EXPECT_FALSE(choice.has_value());
}

TEST(JreNotFoundDialog, BrowseEnablesOkOnlyForAUsableFolder) {
  SKIP_WITHOUT_DISPLAY();
  test::TempDir dir;
  const std::u16string usable = test::MakeRuntime(dir / u"client", {JvmFlavor::kClient}, false);
  const std::u16string server = test::MakeRuntime(dir / u"server", {JvmFlavor::kServer});
  const std::wstring usableFolder = Wide(dir / u"client");  // no trailing backslash
  const std::wstring unusableFolder = Wide(dir.path());
  const std::wstring serverFolder = Wide(server);           // with its trailing backslash

  const struct {
    const char* name;
    int32_t jvmType;
    std::vector<std::optional<std::wstring>> picks;
    std::vector<bool> okAfterEach;
    std::wstring editAtEnd;
    std::u16string home;  // chosen on OK; empty: OK stays disabled, cancelled
    std::u16string library;
  } cases[] = {
      {"usable, unusable, picker cancelled, usable",
       0,
       {usableFolder, unusableFolder, std::nullopt, usableFolder},
       {true, false, false, true},
       usableFolder,
       usable,
       test::LibraryIn(usable, JvmFlavor::kClient)},
      {"picker cancelled keeps the previous pick",
       0,
       {usableFolder, std::nullopt},
       {true, true},
       usableFolder,
       usable,
       test::LibraryIn(usable, JvmFlavor::kClient)},
      {"a trailing backslash stays single", 1, {serverFolder}, {true}, serverFolder, server,
       test::LibraryIn(server, JvmFlavor::kServer)},
      {"server required refuses a client-only folder", 1, {usableFolder}, {false}, usableFolder,
       u"", u""},
      {"nothing picked", 0, {std::nullopt}, {false}, L"", u"", u""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Picks picks;
    picks.answers = c.picks;
    const auto choice = RunDialog(Request(c.jvmType), picks, [&](HWND dialog) {
      for (size_t i = 0; i < c.picks.size(); ++i) {
        Command(dialog, 202);
        EXPECT_EQ(OkEnabled(dialog), c.okAfterEach[i]) << "after pick " << i;
      }
      EXPECT_EQ(TextOf(GetDlgItem(dialog, 201)), c.editAtEnd);
      EXPECT_EQ(picks.title, L"Nach dem JRE-Verzeichnis suchen");
      EXPECT_EQ(picks.owner, c.picks.empty() ? nullptr : dialog);
      PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
      for (int i = 0; i < (c.home.empty() ? 10 : 300) && IsWindow(dialog); ++i) Sleep(10);
      EXPECT_EQ(IsWindow(dialog) == FALSE, !c.home.empty());
    });
    EXPECT_EQ(picks.next, c.picks.size());
    if (c.home.empty()) {
      EXPECT_FALSE(choice.has_value());
    } else {
      ASSERT_TRUE(choice.has_value());
      EXPECT_EQ(ToUtf8(choice->javaHome), ToUtf8(c.home));
      EXPECT_EQ(ToUtf8(choice->jvmLibraryPath), ToUtf8(c.library));
    }
  }
}

TEST(JreNotFoundDialog, DriveRootGetsOneBackslash) {
  SKIP_WITHOUT_DISPLAY();
  // The test prefix's own C: drive becomes a Java home for a moment.
  const bool binExisted = GetFileAttributesW(L"C:\\bin") != INVALID_FILE_ATTRIBUTES;
  ASSERT_FALSE(binExisted) << "C:\\bin exists already";
  const std::u16string home = test::MakeRuntime(u"C:\\", {JvmFlavor::kClient}, false);
  Picks picks;
  picks.answers = {std::wstring(L"C:\\")};
  const auto choice = RunDialog(Request(), picks, [&](HWND dialog) {
    Command(dialog, 202);
    EXPECT_EQ(TextOf(GetDlgItem(dialog, 201)), L"C:\\");
    Command(dialog, IDOK);
  });
  const std::u16string library = test::LibraryIn(u"C:\\", JvmFlavor::kClient);
  DeleteFileW(Wide(library).c_str());
  RemoveDirectoryW(L"C:\\bin\\client");
  RemoveDirectoryW(L"C:\\bin");
  ASSERT_TRUE(choice.has_value());
  EXPECT_EQ(ToUtf8(choice->javaHome), "C:\\");
  EXPECT_EQ(ToUtf8(choice->jvmLibraryPath), ToUtf8(library));
  EXPECT_EQ(ToUtf8(home), "C:\\");
}

TEST(JreNotFoundDialog, EscapeAndTheCloseBoxCancel) {
  SKIP_WITHOUT_DISPLAY();
  test::TempDir dir;
  const std::wstring usable = Wide(dir / u"jre");
  test::MakeRuntime(dir / u"jre", {JvmFlavor::kServer});
  const struct {
    const char* name;
    std::function<void(HWND)> close;
  } cases[] = {
      {"Escape", [](HWND dialog) { PostMessageW(dialog, WM_KEYDOWN, VK_ESCAPE, 0); }},
      {"close box", [](HWND dialog) { PostMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0); }},
      {"Abbrechen", [](HWND dialog) { Command(dialog, IDCANCEL); }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Picks picks;
    picks.answers = {usable};
    std::atomic<bool> closed{false};
    const auto choice = RunDialog(Request(), picks, [&](HWND dialog) {
      Command(dialog, 202);
      EXPECT_TRUE(OkEnabled(dialog));
      c.close(dialog);
      for (int i = 0; i < 500 && IsWindow(dialog); ++i) Sleep(10);
      closed = IsWindow(dialog) == FALSE;
    });
    EXPECT_TRUE(closed);
    EXPECT_FALSE(choice.has_value());
  }
}

std::vector<std::wstring> opened;

HINSTANCE WINAPI RecordOpen(HWND, const wchar_t* verb, const wchar_t* file, const wchar_t*,
                            const wchar_t*, int show) {
  opened.push_back(std::wstring(verb) + L" " + file + L" " + std::to_wstring(show));
  return reinterpret_cast<HINSTANCE>(42);
}

TEST(JreNotFoundDialog, LinkOpensTheConfiguredAddressAndTheDialogStays) {
  SKIP_WITHOUT_DISPLAY();
  opened.clear();
  HyperlinkLabel::SetShellOpenForTesting(&RecordOpen);
  JreDialogRequest request = Request();
  request.downloadUrl = u"https://example.com/java";
  Picks picks;
  RunDialog(request, picks, [&](HWND dialog) {
    HWND link = GetDlgItem(dialog, 205);
    EXPECT_EQ(TextOf(link), L"https://example.com/java");
    SendMessageW(link, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
    SendMessageW(link, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
    EXPECT_TRUE(IsWindow(dialog));
  });
  HyperlinkLabel::SetShellOpenForTesting(nullptr);
  ASSERT_EQ(opened.size(), 1u);
  EXPECT_EQ(opened[0], L"open https://example.com/java " + std::to_wstring(SW_SHOWNORMAL));
}

TEST(JreNotFoundDialog, CentresOverTheActiveWindowOrTheWorkArea) {
  SKIP_WITHOUT_DISPLAY();
  const auto centreOf = [](const RECT& r) {
    return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
  };
  RECT work{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  for (bool withOwner : {false, true}) {
    SCOPED_TRACE(withOwner ? "owner" : "work area");
    HWND owner = nullptr;
    if (withOwner) {
      owner = CreateWindowExW(0, L"Static", L"owner", WS_POPUP | WS_VISIBLE, work.left + 20,
                              work.top + 30, 400, 300, nullptr, nullptr, nullptr, nullptr);
      ASSERT_NE(owner, nullptr);
      SetActiveWindow(owner);
      ASSERT_EQ(GetActiveWindow(), owner);
    }
    Picks picks;
    RunDialog(Request(), picks, [&](HWND dialog) {
      EXPECT_EQ(GetWindow(dialog, GW_OWNER), owner);
      RECT box{}, area = work;
      GetWindowRect(dialog, &box);
      if (owner != nullptr) GetWindowRect(owner, &area);
      const POINT expected = centreOf(area), actual = centreOf(box);
      EXPECT_LE(std::abs(actual.x - expected.x), 1);
      if (box.top > work.top) {
        EXPECT_LE(std::abs(actual.y - expected.y), 1);
      }
      EXPECT_GE(box.left, work.left);
      EXPECT_GE(box.top, work.top);
    });
    if (owner != nullptr) DestroyWindow(owner);
  }
}

}  // namespace
}  // namespace javelin
