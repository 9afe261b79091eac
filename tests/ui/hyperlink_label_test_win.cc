// The link label on a real static control: colours from the browser
// settings, painting, the click and key rules, and its cleanup.
#include <windows.h>

#include <gtest/gtest.h>

#include <commctrl.h>

#include <set>
#include <vector>

#include "ui/display_check_win.h"
#include "ui/hyperlink_label_win.h"

namespace javelin {
namespace {

using test::openedLinks;
using test::openResult;

const wchar_t kUrl[] = L"https://example.org/";
const std::wstring kOpened = L"open https://example.org/ " + std::to_wstring(SW_SHOWNORMAL);

// Sets the browser's link colours as values of `type`; nullptr removes one.
void SetColours(const wchar_t* anchor, const wchar_t* visited, DWORD type = REG_SZ) {
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Microsoft\\Internet Explorer\\Settings",
                            0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
            ERROR_SUCCESS);
  for (const auto& [name, value] : {std::pair{L"Anchor Color", anchor},
                                    std::pair{L"Anchor Color Visited", visited}}) {
    if (value == nullptr) {
      RegDeleteValueW(key, name);
    } else {
      RegSetValueExW(key, name, 0, type, reinterpret_cast<const BYTE*>(value),
                     (wcslen(value) + 1) * sizeof(wchar_t));
    }
  }
  RegCloseKey(key);
}

// The colours the control paints on white.
std::set<COLORREF> PaintedColours(HWND control) {
  RECT client{};
  GetClientRect(control, &client);
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, client.right, client.bottom);
  HGDIOBJ previous = SelectObject(dc, bitmap);
  FillRect(dc, &client, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  SendMessageW(control, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
  std::set<COLORREF> colours;
  for (int y = 0; y < client.bottom; ++y) {
    for (int x = 0; x < client.right; ++x) colours.insert(GetPixel(dc, x, y));
  }
  SelectObject(dc, previous);
  DeleteObject(bitmap);
  DeleteDC(dc);
  ReleaseDC(nullptr, screen);
  return colours;
}

// Labels on statics in a popup window, opening through RecordOpen.
class LabelFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    SKIP_WITHOUT_DISPLAY();
    openedLinks.clear();
    openResult = 42;
    HyperlinkLabel::SetShellOpenForTesting(&test::RecordOpen);
    SetColours(nullptr, nullptr);
    parent_ = CreateWindowExW(0, L"Static", L"parent", WS_POPUP | WS_VISIBLE, 0, 0, 400, 100,
                              nullptr, nullptr, nullptr, nullptr);
  }
  void TearDown() override {
    if (parent_ != nullptr) DestroyWindow(parent_);
    SetColours(nullptr, nullptr);
    HyperlinkLabel::SetShellOpenForTesting(nullptr);
  }
  HWND Attach(HyperlinkLabel& label, DWORD style = SS_LEFT) {
    HWND control = CreateWindowExW(0, L"Static", kUrl, WS_CHILD | WS_VISIBLE | style, 10, 10, 300,
                                   40, parent_, nullptr, nullptr, nullptr);
    EXPECT_TRUE(label.Attach(control));
    return control;
  }

  HWND parent_ = nullptr;
};

TEST_F(LabelFixture, PaintsTheBrowserColoursWhenValidVisitedAfterAnOpenAndGreyedWhenDisabled) {
  const struct {
    const wchar_t *anchor, *visited;
    COLORREF link, visitedColour;
    DWORD type = REG_SZ;
  } cases[] = {
      {nullptr, nullptr, RGB(0, 0, 255), RGB(128, 0, 128)},
      {L"255,0,0", L"0,128,0", RGB(255, 0, 0), RGB(0, 128, 0)},
      {L"255,0", L"", RGB(0, 0, 255), RGB(128, 0, 128)},
      {L"255,000,0000", L"0,0,0000009", RGB(0, 0, 255), RGB(0, 0, 9)},  // 12 characters: too many
      {L"255,0,0", L"0,128,0", RGB(0, 0, 255), RGB(128, 0, 128), REG_BINARY},  // the wrong type
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << (c.anchor ? c.anchor : L"(none)"));
    SetColours(c.anchor, c.visited, c.type);
    HyperlinkLabel label;
    HWND control = Attach(label);
    EXPECT_EQ(PaintedColours(control).count(c.link), 1u);  // the underline shows it exactly

    openResult = 2;  // file not found: nothing changes
    label.OpenLink();
    EXPECT_FALSE(label.visited());
    EXPECT_EQ(PaintedColours(control).count(c.visitedColour), 0u);

    openResult = 42;
    label.OpenLink();
    std::set<COLORREF> colours = PaintedColours(control);
    EXPECT_EQ(colours.count(c.visitedColour), 1u);
    EXPECT_EQ(colours.count(c.link), 0u);

    EnableWindow(control, FALSE);
    colours = PaintedColours(control);
    EXPECT_EQ(colours.count(GetSysColor(COLOR_GRAYTEXT)), 1u);
    EXPECT_EQ(colours.count(c.visitedColour), 0u);
    DestroyWindow(control);
  }
  EXPECT_EQ(openedLinks, std::vector<std::wstring>(10, kOpened));
}

TEST_F(LabelFixture, OpensOnAClickInsideTheTextOrOnEnterOrSpaceAndCleansUp) {
  HyperlinkLabel label;
  HWND control = Attach(label);
  EXPECT_FALSE(label.Attach(control));  // only once
  EXPECT_NE(GetWindowLongPtrW(control, GWL_STYLE) & SS_NOTIFY, 0);  // it gets the clicks
  EXPECT_EQ(SendMessageW(control, WM_GETDLGCODE, 0, 0), DLGC_WANTCHARS);  // and the keys
  ASSERT_NE(label.tooltip(), nullptr);  // that shows the target
  EXPECT_EQ(SendMessageW(label.tooltip(), TTM_GETTOOLCOUNT, 0, 0), 1);
  const RECT text = label.linkRect();
  ASSERT_GT(text.right, 20);
  ASSERT_LT(text.right, 290);  // the text is shorter than the control
  const LPARAM inside = MAKELPARAM(text.left + 2, text.top + 2);
  const LPARAM besideText = MAKELPARAM(text.right + 5, text.top + 2);
  const struct {
    const char* name;
    std::vector<std::pair<UINT, LPARAM>> messages;  // WM_CHAR's parameter is the key
    size_t opens;
  } cases[] = {
      {"down and up inside", {{WM_LBUTTONDOWN, inside}, {WM_LBUTTONUP, inside}}, 1},
      {"down inside, up outside", {{WM_LBUTTONDOWN, inside}, {WM_LBUTTONUP, besideText}}, 0},
      {"down outside, up inside", {{WM_LBUTTONDOWN, besideText}, {WM_LBUTTONUP, inside}}, 0},
      {"beside the text", {{WM_LBUTTONDOWN, besideText}, {WM_LBUTTONUP, besideText}}, 0},
      {"Enter", {{WM_CHAR, VK_RETURN}}, 1},
      {"Space", {{WM_CHAR, VK_SPACE}}, 1},
      {"another key", {{WM_CHAR, 'a'}}, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    openedLinks.clear();
    for (const auto& [message, parameter] : c.messages) {
      const bool key = message == WM_CHAR;
      SendMessageW(control, message, key ? parameter : message == WM_LBUTTONDOWN ? MK_LBUTTON : 0,
                   key ? 1 : parameter);
    }
    EXPECT_EQ(openedLinks, std::vector<std::wstring>(c.opens, kOpened));
    EXPECT_NE(GetCapture(), control);
  }
  // The hand shows only over the text.
  SetCursor(LoadCursorW(nullptr, IDC_ARROW));
  SendMessageW(control, WM_MOUSEMOVE, 0, besideText);
  EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, IDC_ARROW));
  SendMessageW(control, WM_MOUSEMOVE, 0, inside);
  EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, IDC_HAND));

  HWND tooltip = label.tooltip();
  DestroyWindow(control);  // undoes the label
  EXPECT_FALSE(IsWindow(tooltip));
  EXPECT_EQ(label.window(), nullptr);
}

}  // namespace
}  // namespace javelin
