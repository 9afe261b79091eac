#include "ui/hyperlink_label_win.h"

#include <commctrl.h>
#include <shellapi.h>

#include <vector>

#include "base/win_support.h"
#include "ui/link_colour.h"

namespace javelin {

namespace {

const wchar_t kLabelProperty[] = L"JavelinHyperlinkLabel";

HyperlinkLabel::ShellOpen shellOpen = &ShellExecuteW;

// The static types that draw no text: icon, rectangles, frames,
// owner-drawn, bitmap and enhanced metafile.
bool IsNonTextStatic(LONG_PTR style) {
  switch (style & SS_TYPEMASK) {
    case SS_ICON:
    case SS_BLACKRECT:
    case SS_GRAYRECT:
    case SS_WHITERECT:
    case SS_BLACKFRAME:
    case SS_GRAYFRAME:
    case SS_WHITEFRAME:
    case SS_OWNERDRAW:
    case SS_BITMAP:
    case SS_ENHMETAFILE:
      return true;
    default:
      return false;
  }
}

bool IsWindowsVistaOrLater() {
  OSVERSIONINFOEXW version{};
  version.dwOSVersionInfoSize = sizeof(version);
  version.dwMajorVersion = 6;
  version.dwMinorVersion = 0;
  version.wServicePackMajor = 0;
  DWORDLONG condition = 0;
  condition = VerSetConditionMask(condition, VER_MAJORVERSION, VER_GREATER_EQUAL);
  condition = VerSetConditionMask(condition, VER_MINORVERSION, VER_GREATER_EQUAL);
  condition = VerSetConditionMask(condition, VER_SERVICEPACKMAJOR, VER_GREATER_EQUAL);
  return VerifyVersionInfoW(&version, VER_MAJORVERSION | VER_MINORVERSION | VER_SERVICEPACKMAJOR,
                            condition) != FALSE;
}

// One colour value of the browser settings key; false keeps the default.
bool ReadColourValue(HKEY key, const wchar_t* name, COLORREF& colour) {
  wchar_t buffer[12] = {};  // 24 bytes: at most 11 characters and the terminator
  DWORD type = 0;
  DWORD size = sizeof(buffer);
  if (RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size) !=
      ERROR_SUCCESS) {
    return false;
  }
  if (type != REG_SZ && type != REG_EXPAND_SZ) return false;
  if (size != 0 && (size % 2 != 0 || buffer[size / 2 - 1] != L'\0')) return false;
  const std::u16string text(reinterpret_cast<const char16_t*>(buffer),
                            size == 0 ? 0 : size / 2 - 1);
  const std::optional<uint32_t> parsed = ParseLinkColour(text);
  if (!parsed) return false;
  colour = *parsed;
  return true;
}

}  // namespace

void HyperlinkLabel::SetShellOpenForTesting(ShellOpen open) {
  shellOpen = open != nullptr ? open : &ShellExecuteW;
}

HyperlinkLabel::~HyperlinkLabel() {
  if (window_ != nullptr && IsWindow(window_)) {
    if (tooltip_ != nullptr) DestroyWindow(tooltip_);
    Detach();
  }
  if (ownsLinkFont_ && linkFont_ != nullptr) DeleteObject(linkFont_);
  if (ownsNormalFont_ && normalFont_ != nullptr) DeleteObject(normalFont_);
}

bool HyperlinkLabel::Attach(HWND control) {
  if (window_ != nullptr || control == nullptr || !IsWindow(control)) return false;
  if (!SetPropW(control, kLabelProperty, this)) return false;
  window_ = control;
  previousProc_ = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(
      control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&HyperlinkLabel::WindowProc)));
  if (previousProc_ == nullptr) {
    RemovePropW(control, kLabelProperty);
    window_ = nullptr;
    return false;
  }
  Initialize();
  return true;
}

void HyperlinkLabel::Detach() {
  SetWindowLongPtrW(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previousProc_));
  RemovePropW(window_, kLabelProperty);
  window_ = nullptr;
  tooltip_ = nullptr;
}

void HyperlinkLabel::Initialize() {
  wchar_t className[8] = {};
  GetClassNameW(window_, className, 8);
  if (lstrcmpiW(className, L"static") == 0) {
    const LONG_PTR style = GetWindowLongPtrW(window_, GWL_STYLE);
    // Without SS_NOTIFY a static lets the mouse fall through to its parent.
    if ((style & SS_NOTIFY) == 0) SetWindowLongPtrW(window_, GWL_STYLE, style | SS_NOTIFY);
    if (IsNonTextStatic(style)) paintsText_ = false;
  }
  cursor_ = LoadCursorW(nullptr, IDC_HAND);

  if (paintsText_) {
    if (normalFont_ == nullptr) {
      LOGFONTW iconTitleFont{};
      if (SystemParametersInfoW(SPI_GETICONTITLELOGFONT, sizeof(iconTitleFont), &iconTitleFont,
                                0)) {
        normalFont_ = CreateFontIndirectW(&iconTitleFont);
        ownsNormalFont_ = normalFont_ != nullptr;
      }
    }
    if (linkFont_ == nullptr) CreateLinkFont();
  }

  INITCOMMONCONTROLSEX controls{};
  controls.dwSize = sizeof(controls);
  controls.dwICC = ICC_TAB_CLASSES;  // the tooltip class
  InitCommonControlsEx(&controls);
  tooltip_ = CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr, 0, CW_USEDEFAULT, CW_USEDEFAULT,
                             CW_USEDEFAULT, CW_USEDEFAULT, window_, nullptr, nullptr, nullptr);

  if (labelText_.empty()) {
    const int length = GetWindowTextLengthW(window_);
    if (length > 0) {
      std::vector<wchar_t> text(length + 1);
      const int copied = GetWindowTextW(window_, text.data(), length + 1);
      labelText_.assign(text.data(), copied);
    }
  }
  ComputeLinkRect();

  if (linkTarget_.empty() && !labelText_.empty()) linkTarget_ = labelText_;
  if (!linkTarget_.empty() && tooltip_ != nullptr) {
    SendMessageW(tooltip_, TTM_ACTIVATE, TRUE, 0);
    TTTOOLINFOW tool{};
    tool.cbSize = IsWindowsVistaOrLater() ? sizeof(TTTOOLINFOW) : TTTOOLINFOW_V2_SIZE;
    tool.hwnd = window_;
    tool.uId = 1;
    tool.rect = linkRect_;
    tool.lpszText = const_cast<wchar_t*>(linkTarget_.c_str());
    toolAdded_ = SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool)) != 0;
  }

  if (paintsText_) ReadBrowserColours();
}

void HyperlinkLabel::CreateLinkFont() {
  LOGFONTW font{};
  HGDIOBJ source =
      normalFont_ != nullptr ? static_cast<HGDIOBJ>(normalFont_) : GetStockObject(SYSTEM_FONT);
  if (GetObjectW(source, sizeof(font), &font) == 0) return;
  font.lfUnderline = TRUE;
  linkFont_ = CreateFontIndirectW(&font);
  ownsLinkFont_ = linkFont_ != nullptr;
}

void HyperlinkLabel::ReadBrowserColours() {
  ScopedRegistryKey key;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\Microsoft\\Internet Explorer\\Settings", 0,
                    KEY_READ | KEY_WRITE, key.Receive()) != ERROR_SUCCESS) {
    return;
  }
  ReadColourValue(key.get(), L"Anchor Color", linkColour_);
  ReadColourValue(key.get(), L"Anchor Color Visited", visitedColour_);
}

UINT HyperlinkLabel::Alignment() const {
  const LONG_PTR type = GetWindowLongPtrW(window_, GWL_STYLE) & SS_TYPEMASK;
  if (type == SS_CENTER) return DT_CENTER;
  if (type == SS_RIGHT) return DT_RIGHT;
  return DT_LEFT;
}

void HyperlinkLabel::ComputeLinkRect() {
  if (window_ == nullptr || !IsWindow(window_)) return;
  if (labelText_.empty() && linkTarget_.empty()) return;
  RECT client{};
  GetClientRect(window_, &client);
  linkRect_ = client;
  if (paintsText_) {
    HDC dc = GetDC(window_);
    if (dc != nullptr) {
      HGDIOBJ previousFont = linkFont_ != nullptr ? SelectObject(dc, linkFont_) : nullptr;
      const std::wstring& text = DrawnText();
      DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &linkRect_,
                DT_CALCRECT | DT_WORDBREAK | Alignment());
      if (previousFont != nullptr) SelectObject(dc, previousFont);
      ReleaseDC(window_, dc);
    }
    const UINT alignment = Alignment();
    if (alignment == DT_CENTER) {
      OffsetRect(&linkRect_, (client.right - linkRect_.right) / 2, 0);
    } else if (alignment == DT_RIGHT) {
      OffsetRect(&linkRect_, client.right - linkRect_.right, 0);
    }
  }
  if (toolAdded_) {
    // The tooltip follows the clickable area.
    TTTOOLINFOW tool{};
    tool.cbSize = IsWindowsVistaOrLater() ? sizeof(TTTOOLINFOW) : TTTOOLINFOW_V2_SIZE;
    tool.hwnd = window_;
    tool.uId = 1;
    tool.rect = linkRect_;
    SendMessageW(tooltip_, TTM_NEWTOOLRECTW, 0, reinterpret_cast<LPARAM>(&tool));
  }
}

void HyperlinkLabel::Paint(HDC dc) {
  RECT client{};
  GetClientRect(window_, &client);
  HWND parent = GetParent(window_);
  HBRUSH brush = reinterpret_cast<HBRUSH>(
      SendMessageW(parent != nullptr ? parent : window_, WM_CTLCOLORSTATIC,
                   reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(window_)));
  if (brush != nullptr) FillRect(dc, &client, brush);

  const int previousMode = SetBkMode(dc, TRANSPARENT);
  const COLORREF colour = !IsWindowEnabled(window_) ? GetSysColor(COLOR_GRAYTEXT)
                          : visited_                ? visitedColour_
                                                    : linkColour_;
  const COLORREF previousColour = SetTextColor(dc, colour);
  HFONT font = linkFont_ != nullptr ? linkFont_ : normalFont_;
  HGDIOBJ previousFont = font != nullptr ? SelectObject(dc, font) : nullptr;
  const std::wstring& text = DrawnText();
  RECT area = linkRect_;
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &area, DT_WORDBREAK | Alignment());
  if (GetFocus() == window_) DrawFocusRect(dc, &linkRect_);
  SetTextColor(dc, previousColour);
  SetBkMode(dc, previousMode);
  if (previousFont != nullptr) SelectObject(dc, previousFont);
}

bool HyperlinkLabel::OverLink(LPARAM clientPoint) const {
  const POINT point{static_cast<short>(LOWORD(clientPoint)),
                    static_cast<short>(HIWORD(clientPoint))};
  return PtInRect(&linkRect_, point) != FALSE;
}

bool HyperlinkLabel::CursorOverLink() const {
  POINT point{};
  if (!GetCursorPos(&point) || !ScreenToClient(window_, &point)) return false;
  return PtInRect(&linkRect_, point) != FALSE;
}

void HyperlinkLabel::Repaint(bool now) {
  RedrawWindow(window_, nullptr, nullptr, RDW_INVALIDATE | (now ? RDW_UPDATENOW : 0));
}

void HyperlinkLabel::OpenLink() {
  if (linkTarget_.empty()) return;
  HINSTANCE result =
      shellOpen(nullptr, L"open", linkTarget_.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
  if (reinterpret_cast<INT_PTR>(result) > 32) {
    visited_ = true;
    if (window_ != nullptr) Repaint(true);
  }
}

LRESULT HyperlinkLabel::CallPrevious(UINT message, WPARAM wParam, LPARAM lParam) {
  return CallWindowProcW(previousProc_, window_, message, wParam, lParam);
}

LRESULT CALLBACK HyperlinkLabel::WindowProc(HWND window, UINT message, WPARAM wParam,
                                            LPARAM lParam) {
  auto* label = static_cast<HyperlinkLabel*>(GetPropW(window, kLabelProperty));
  if (label == nullptr) return DefWindowProcW(window, message, wParam, lParam);
  return label->HandleMessage(message, wParam, lParam);
}

LRESULT HyperlinkLabel::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message >= WM_MOUSEFIRST && message <= 0x20E && tooltip_ != nullptr) {
    MSG relayed{};
    relayed.hwnd = window_;
    relayed.message = message;
    relayed.wParam = wParam;
    relayed.lParam = lParam;
    relayed.time = GetMessageTime();
    const DWORD position = GetMessagePos();
    relayed.pt = {static_cast<short>(LOWORD(position)), static_cast<short>(HIWORD(position))};
    SendMessageW(tooltip_, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&relayed));
  }

  switch (message) {
    case WM_ERASEBKGND:
      return TRUE;
    case WM_PAINT:
      if (!paintsText_) break;
      {
        PAINTSTRUCT paint{};
        HDC dc = BeginPaint(window_, &paint);
        if (dc != nullptr) Paint(dc);
        EndPaint(window_, &paint);
      }
      return 0;
    case WM_PRINTCLIENT:
      if (!paintsText_) break;
      Paint(reinterpret_cast<HDC>(wParam));
      return 0;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      if (paintsText_) Repaint(false);
      return 0;
    case WM_ENABLE:
      Repaint(true);
      return 0;
    case WM_MOUSEMOVE:
      if (!linkTarget_.empty() && OverLink(lParam)) SetCursor(cursor_);
      return 0;
    case WM_SETCURSOR:
      if (!linkTarget_.empty() && CursorOverLink()) {
        SetCursor(cursor_);
        return TRUE;
      }
      break;
    case WM_LBUTTONDOWN:
      if (OverLink(lParam)) {
        SetFocus(window_);
        SetCapture(window_);
      }
      return 0;
    case WM_LBUTTONUP:
      if (GetCapture() == window_) {
        ReleaseCapture();
        if (OverLink(lParam)) OpenLink();
      }
      return 0;
    case WM_CHAR:
      if (wParam == VK_RETURN || wParam == VK_SPACE) OpenLink();
      return 0;
    case WM_GETDLGCODE:
      return DLGC_WANTCHARS;
    case WM_GETFONT:
      return reinterpret_cast<LRESULT>(normalFont_);
    case WM_SETFONT:
      if (ownsNormalFont_ && normalFont_ != nullptr) DeleteObject(normalFont_);
      normalFont_ = reinterpret_cast<HFONT>(wParam);
      ownsNormalFont_ = false;
      if (ownsLinkFont_) {
        DeleteObject(linkFont_);
        linkFont_ = nullptr;
        ownsLinkFont_ = false;
        CreateLinkFont();
      }
      ComputeLinkRect();
      if (LOWORD(lParam) != 0) Repaint(true);
      return 0;
    case WM_SIZE:
      ComputeLinkRect();
      Repaint(false);
      return 0;
    case WM_UPDATEUISTATE:
      return 0;
    case WM_DESTROY: {
      if (tooltip_ != nullptr) DestroyWindow(tooltip_);
      tooltip_ = nullptr;
      toolAdded_ = false;
      if (ownsLinkFont_ && linkFont_ != nullptr) DeleteObject(linkFont_);
      if (ownsNormalFont_ && normalFont_ != nullptr) DeleteObject(normalFont_);
      linkFont_ = normalFont_ = nullptr;
      ownsLinkFont_ = ownsNormalFont_ = false;
      // The static gets its own procedure back before it handles the rest.
      WNDPROC previous = previousProc_;
      HWND window = window_;
      Detach();
      return CallWindowProcW(previous, window, message, wParam, lParam);
    }
    default:
      break;
  }
  return CallPrevious(message, wParam, lParam);
}

}  // namespace javelin
