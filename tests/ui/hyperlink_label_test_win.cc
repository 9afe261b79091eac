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

const std::wstring kOpened = L"open https://example.org/ " + std::to_wstring(SW_SHOWNORMAL);

// Sets the browser's link colours as values of `type`; nullptr removes one.
void SetColours(const wchar_t* anchor, const wchar_t* visited, DWORD type = REG_SZ) {
  const wchar_t key[] = L"Software\\Microsoft\\Internet Explorer\\Settings";
  for (const auto& [name, value] :
       {std::pair{L"Anchor Color", anchor}, std::pair{L"Anchor Color Visited", visited}}) {
    value ? RegSetKeyValueW(HKEY_CURRENT_USER, key, name, type, value,
                            (wcslen(value) + 1) * sizeof(wchar_t))
          : RegDeleteKeyValueW(HKEY_CURRENT_USER, key, name);
  }
}

// The colours the control paints on white.
std::set<COLORREF> PaintedColours(HWND control) {
  RECT client{};
  GetClientRect(control, &client);
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HGDIOBJ previous = SelectObject(dc, CreateCompatibleBitmap(screen, client.right, client.bottom));
  FillRect(dc, &client, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  SendMessageW(control, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
  std::set<COLORREF> colours;
  for (int y = 0; y < client.bottom; ++y) {
    for (int x = 0; x < client.right; ++x) colours.insert(GetPixel(dc, x, y));
  }
  DeleteObject(SelectObject(dc, previous));
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
    parent_ = CreateWindowExW(0, L"Static", L"parent", WS_POPUP | WS_VISIBLE, 0, 0, 400, 100,
                              nullptr, nullptr, nullptr, nullptr);
  }
  void TearDown() override {
    if (parent_ != nullptr) DestroyWindow(parent_);
    SetColours(nullptr, nullptr);
    HyperlinkLabel::SetShellOpenForTesting(nullptr);
  }
  HWND Attach(HyperlinkLabel& label) {
    HWND control =
        CreateWindowExW(0, L"Static", L"https://example.org/", WS_CHILD | WS_VISIBLE | SS_LEFT, 10,
                        10, 300, 40, parent_, nullptr, nullptr, nullptr);
    EXPECT_TRUE(label.Attach(control));
    return control;
  }

  HWND parent_ = nullptr;
};

TEST_F(LabelFixture, TakesTheBrowserColoursOpensOnAClickInsideTheTextOrOnEnterOrSpaceAndCleansUp) {
  const struct {
    const wchar_t *anchor, *visited;
    COLORREF link, visitedColour;
    DWORD type = REG_SZ;
  } cases[] = {
      {nullptr, nullptr, RGB(0, 0, 255), RGB(128, 0, 128)},  // the defaults
      // "r,g,b" read as the wide integer conversion does: blanks and a sign
      // before the digits; blue wraps around 256; red and green are not
      // range-tested; 12 characters are too many, and so is the wrong type.
      {L" 1, +2,\t3", L"300,0,257", RGB(1, 2, 3), 300 + 0x010000},
      {L"255,000,0000", L"0,0,0000009", RGB(0, 0, 255), RGB(0, 0, 9)},
      {L"255,0,0", L"0,128,0", RGB(0, 0, 255), RGB(128, 0, 128), REG_BINARY},
  };
  for (const auto& c : cases) {
    SetColours(c.anchor, c.visited, c.type);
    HyperlinkLabel label;
    DestroyWindow(Attach(label));
    EXPECT_EQ(label.linkColour(), c.link) << &c - cases;
    EXPECT_EQ(label.visitedColour(), c.visitedColour) << &c - cases;
  }

  // Painted in the link colour (the underline shows it exactly), in the
  // visited one once the link opened, grey when disabled.
  SetColours(L"255,0,0", L"0,128,0");
  HyperlinkLabel label;
  HWND control = Attach(label);
  EXPECT_EQ(PaintedColours(control).count(RGB(255, 0, 0)), 1u);
  openResult = 2;  // file not found: nothing changes
  label.OpenLink();
  EXPECT_EQ(PaintedColours(control).count(RGB(0, 128, 0)), 0u);
  openResult = 42;
  label.OpenLink();
  std::set<COLORREF> colours = PaintedColours(control);
  EXPECT_EQ(colours.count(RGB(0, 128, 0)), 1u);
  EXPECT_EQ(colours.count(RGB(255, 0, 0)), 0u);
  EnableWindow(control, FALSE);
  colours = PaintedColours(control);
  EXPECT_EQ(colours.count(GetSysColor(COLOR_GRAYTEXT)), 1u);
  EXPECT_EQ(colours.count(RGB(0, 128, 0)), 0u);
  EnableWindow(control, TRUE);

  EXPECT_NE(GetWindowLongPtrW(control, GWL_STYLE) & SS_NOTIFY, 0);        // it gets the clicks
  EXPECT_EQ(SendMessageW(control, WM_GETDLGCODE, 0, 0), DLGC_WANTCHARS);  // and the keys
  ASSERT_NE(label.tooltip(), nullptr);                                    // that shows the target
  const RECT text = label.linkRect();
  ASSERT_GT(text.right, 20);
  ASSERT_LT(text.right, 290);  // the text is shorter than the control
  const LPARAM in = MAKELPARAM(text.left + 2, text.top + 2),
               out = MAKELPARAM(text.right + 5, text.top + 2);
  const struct {
    std::vector<std::pair<UINT, LPARAM>> messages;  // WM_CHAR's parameter is the key
    size_t opens;
  } clicks[] = {
      {{{WM_LBUTTONDOWN, in}, {WM_LBUTTONUP, in}}, 1},
      {{{WM_LBUTTONDOWN, in}, {WM_LBUTTONUP, out}}, 0},
      {{{WM_LBUTTONDOWN, out}, {WM_LBUTTONUP, in}}, 0},
      {{{WM_CHAR, VK_RETURN}}, 1},
      {{{WM_CHAR, VK_SPACE}}, 1},
      {{{WM_CHAR, 'a'}}, 0},
  };
  for (const auto& c : clicks) {
    SCOPED_TRACE(&c - clicks);
    openedLinks.clear();
    for (const auto& [message, parameter] : c.messages) {
      const bool key = message == WM_CHAR;
      SendMessageW(control, message,
                   key                         ? parameter
                   : message == WM_LBUTTONDOWN ? MK_LBUTTON
                                               : 0,
                   key ? 1 : parameter);
    }
    EXPECT_EQ(openedLinks, std::vector<std::wstring>(c.opens, kOpened));
    EXPECT_NE(GetCapture(), control);
  }

  HWND tooltip = label.tooltip();
  DestroyWindow(control);  // undoes the label
  EXPECT_FALSE(IsWindow(tooltip));
  EXPECT_EQ(label.window(), nullptr);
}

}  // namespace
}  // namespace javelin
