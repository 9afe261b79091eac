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

const wchar_t kSettingsKey[] = L"Software\\Microsoft\\Internet Explorer\\Settings";
const wchar_t kUrl[] = L"https://example.org/";

std::vector<std::wstring> opened;
INT_PTR openResult = 42;

HINSTANCE WINAPI RecordOpen(HWND, const wchar_t*, const wchar_t* file, const wchar_t*,
                            const wchar_t*, int) {
  opened.push_back(file);
  return reinterpret_cast<HINSTANCE>(openResult);
}

// A static in a popup window, with the browser colours given (nullptr
// values are removed; "BINARY" stores "255,0,0" as REG_BINARY).
class LabelFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    SKIP_WITHOUT_DISPLAY();
    opened.clear();
    openResult = 42;
    HyperlinkLabel::SetShellOpenForTesting(&RecordOpen);
    SetColours(nullptr, nullptr);
  }
  void TearDown() override {
    if (parent_ != nullptr) DestroyWindow(parent_);
    SetColours(nullptr, nullptr);
    HyperlinkLabel::SetShellOpenForTesting(nullptr);
  }

  static void SetValue(HKEY key, const wchar_t* name, const wchar_t* value) {
    if (value == nullptr) {
      RegDeleteValueW(key, name);
    } else if (std::wstring(value) == L"BINARY") {
      const wchar_t colour[] = L"255,0,0";  // a valid text of the wrong type
      RegSetValueExW(key, name, 0, REG_BINARY, reinterpret_cast<const BYTE*>(colour),
                     sizeof(colour));
    } else {
      RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value),
                     static_cast<DWORD>((wcslen(value) + 1) * sizeof(wchar_t)));
    }
  }
  static void SetColours(const wchar_t* anchor, const wchar_t* visited) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, kSettingsKey, 0, nullptr, 0, KEY_ALL_ACCESS,
                              nullptr, &key, nullptr),
              ERROR_SUCCESS);
    SetValue(key, L"Anchor Color", anchor);
    SetValue(key, L"Anchor Color Visited", visited);
    RegCloseKey(key);
  }

  HWND MakeStatic(DWORD style = SS_LEFT, const wchar_t* text = kUrl) {
    if (parent_ == nullptr) {
      parent_ = CreateWindowExW(0, L"Static", L"parent", WS_POPUP | WS_VISIBLE, 0, 0, 400, 100,
                                nullptr, nullptr, nullptr, nullptr);
    }
    return CreateWindowExW(0, L"Static", text, WS_CHILD | WS_VISIBLE | style, 10, 10, 300, 40,
                           parent_, nullptr, nullptr, nullptr);
  }

  // The colours the control paints on white.
  static std::set<COLORREF> PaintedColours(HWND control) {
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

  HWND parent_ = nullptr;
};

TEST_F(LabelFixture, TakesTheBrowserColoursWhenTheyAreValid) {
  const struct {
    const wchar_t* anchor;
    const wchar_t* visited;
    COLORREF link;
    COLORREF visitedColour;
  } cases[] = {
      {nullptr, nullptr, RGB(0, 0, 255), RGB(128, 0, 128)},
      {L"255,0,0", L"0,128,0", RGB(255, 0, 0), RGB(0, 128, 0)},
      {L"255,0", L"255,0,", RGB(0, 0, 255), RGB(128, 0, 128)},
      {L"1,2,3 ", L"", RGB(1, 2, 3), RGB(128, 0, 128)},
      {L"255,000,0000", L"0,0,0000009", RGB(0, 0, 255), RGB(0, 0, 9)},  // 12 characters are too many
      {L"BINARY", L"BINARY", RGB(0, 0, 255), RGB(128, 0, 128)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << (c.anchor ? c.anchor : L"(none)"));
    SetColours(c.anchor, c.visited);
    HyperlinkLabel label;
    ASSERT_TRUE(label.Attach(MakeStatic()));
    EXPECT_EQ(label.linkColour(), c.link);
    EXPECT_EQ(label.visitedColour(), c.visitedColour);
    // The underline shows the colour exactly.
    EXPECT_EQ(PaintedColours(label.window()).count(c.link), 1u);
    DestroyWindow(label.window());
  }
}

TEST_F(LabelFixture, PaintsLinkVisitedAndDisabledColours) {
  SetColours(L"255,0,0", L"0,128,0");
  HyperlinkLabel label;
  ASSERT_TRUE(label.Attach(MakeStatic()));
  EXPECT_EQ(PaintedColours(label.window()).count(RGB(255, 0, 0)), 1u);

  openResult = 2;  // file not found: nothing changes
  label.OpenLink();
  EXPECT_FALSE(label.visited());
  EXPECT_EQ(PaintedColours(label.window()).count(RGB(0, 128, 0)), 0u);

  openResult = 42;
  label.OpenLink();
  EXPECT_TRUE(label.visited());
  std::set<COLORREF> colours = PaintedColours(label.window());
  EXPECT_EQ(colours.count(RGB(0, 128, 0)), 1u);
  EXPECT_EQ(colours.count(RGB(255, 0, 0)), 0u);

  EnableWindow(label.window(), FALSE);
  colours = PaintedColours(label.window());
  EXPECT_EQ(colours.count(GetSysColor(COLOR_GRAYTEXT)), 1u);
  EXPECT_EQ(colours.count(RGB(0, 128, 0)), 0u);
  EXPECT_EQ(opened, (std::vector<std::wstring>{kUrl, kUrl}));
}

TEST_F(LabelFixture, OpensOnAClickInsideTheTextAndOnEnterOrSpace) {
  HyperlinkLabel label;
  ASSERT_TRUE(label.Attach(MakeStatic()));
  HWND control = label.window();
  const RECT text = label.linkRect();
  ASSERT_GT(text.right, 20);
  ASSERT_LT(text.right, 290);  // the text is shorter than the control
  const LPARAM inside = MAKELPARAM(text.left + 2, text.top + 2);
  const LPARAM besideText = MAKELPARAM(text.right + 5, text.top + 2);
  const struct {
    const char* name;
    std::vector<std::pair<UINT, LPARAM>> messages;
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
    opened.clear();
    for (const auto& [message, parameter] : c.messages) {
      if (message == WM_CHAR) {
        SendMessageW(control, message, parameter, 1);
      } else {
        SendMessageW(control, message, message == WM_LBUTTONDOWN ? MK_LBUTTON : 0, parameter);
      }
    }
    EXPECT_EQ(opened.size(), c.opens);
    EXPECT_NE(GetCapture(), control);
  }
}

TEST_F(LabelFixture, HandCursorOnlyOverTheText) {
  HyperlinkLabel label;
  ASSERT_TRUE(label.Attach(MakeStatic()));
  const RECT text = label.linkRect();
  HCURSOR hand = LoadCursorW(nullptr, IDC_HAND);
  HCURSOR arrow = LoadCursorW(nullptr, IDC_ARROW);
  SetCursor(arrow);
  SendMessageW(label.window(), WM_MOUSEMOVE, 0, MAKELPARAM(text.right + 5, text.top + 1));
  EXPECT_EQ(GetCursor(), arrow);
  SendMessageW(label.window(), WM_MOUSEMOVE, 0, MAKELPARAM(text.left + 1, text.top + 1));
  EXPECT_EQ(GetCursor(), hand);
}

TEST_F(LabelFixture, AttachingPreparesTheStatic) {
  HyperlinkLabel label;
  HWND control = MakeStatic(SS_CENTER);
  ASSERT_TRUE(label.Attach(control));
  EXPECT_FALSE(label.Attach(control));  // only once
  EXPECT_NE(GetWindowLongPtrW(control, GWL_STYLE) & SS_NOTIFY, 0);
  EXPECT_EQ(SendMessageW(control, WM_GETDLGCODE, 0, 0), DLGC_WANTCHARS);
  EXPECT_EQ(label.labelText(), kUrl);
  EXPECT_EQ(label.linkTarget(), kUrl);
  // A centred text's clickable area sits in the middle of the control.
  RECT client{};
  GetClientRect(control, &client);
  const RECT text = label.linkRect();
  EXPECT_LE(std::abs((client.right - text.right) - text.left), 1);
  // The tooltip shows the target.
  ASSERT_NE(label.tooltip(), nullptr);
  EXPECT_EQ(SendMessageW(label.tooltip(), TTM_GETTOOLCOUNT, 0, 0), 1);

  // A new font gives a new clickable area and the font comes back.
  LOGFONTW big{};
  big.lfHeight = -40;
  lstrcpyW(big.lfFaceName, L"Tahoma");
  HFONT font = CreateFontIndirectW(&big);
  SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
  EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)), font);
  EXPECT_GT(label.linkRect().bottom - label.linkRect().top, text.bottom - text.top);

  // Destroying the control undoes the label.
  HWND tooltip = label.tooltip();
  DestroyWindow(control);
  EXPECT_FALSE(IsWindow(tooltip));
  EXPECT_EQ(label.window(), nullptr);
  DeleteObject(font);
}

TEST_F(LabelFixture, NonTextStaticsPaintThemselves) {
  for (DWORD type : {SS_BLACKRECT, SS_GRAYFRAME, SS_ICON}) {
    SCOPED_TRACE(type);
    HyperlinkLabel label;
    ASSERT_TRUE(label.Attach(MakeStatic(type)));
    EXPECT_FALSE(label.paintsText());
    if (type == SS_BLACKRECT) {
      EXPECT_EQ(PaintedColours(label.window()).count(RGB(0, 0, 255)), 0u);
    }
    DestroyWindow(label.window());
  }
}

}  // namespace
}  // namespace javelin
