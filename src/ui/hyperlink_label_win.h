// A static text control of a dialog turned into a link: underlined text in the
// browser's link colour, a hand pointer over the text, a tooltip with the
// target, and the shell opening the target on a click, Enter or Space.
#pragma once

#include <windows.h>

#include <string>

namespace javelin {

class HyperlinkLabel {
 public:
  // The shell's open call (ShellExecuteW); tests replace it to see opens.
  using ShellOpen = HINSTANCE(WINAPI*)(HWND, const wchar_t*, const wchar_t*, const wchar_t*,
                                       const wchar_t*, int);
  // Replaces the shell's open call; nullptr restores ShellExecuteW.
  static void SetShellOpenForTesting(ShellOpen open);

  HyperlinkLabel() = default;
  ~HyperlinkLabel();
  HyperlinkLabel(const HyperlinkLabel&) = delete;
  HyperlinkLabel& operator=(const HyperlinkLabel&) = delete;

  // The font to underline; the owner may set it before attaching.
  void SetNormalFont(HFONT font) { normalFont_ = font; }
  HFONT normalFont() const { return normalFont_; }

  // Subclasses the static `control` and initialises the label from it.
  // False when the control does not exist or is already attached.
  bool Attach(HWND control);

  // Opens the link target with the shell; after a successful open the text
  // takes the visited colour.
  void OpenLink();

  HWND window() const { return window_; }
  HWND tooltip() const { return tooltip_; }
  const std::wstring& labelText() const { return labelText_; }
  const std::wstring& linkTarget() const { return linkTarget_; }
  const RECT& linkRect() const { return linkRect_; }
  COLORREF linkColour() const { return linkColour_; }
  COLORREF visitedColour() const { return visitedColour_; }
  bool visited() const { return visited_; }
  bool paintsText() const { return paintsText_; }

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT CallPrevious(UINT message, WPARAM wParam, LPARAM lParam);
  void Initialize();
  void CreateLinkFont();
  void ReadBrowserColours();
  void ComputeLinkRect();
  void Paint(HDC dc);
  bool OverLink(LPARAM clientPoint) const;
  bool CursorOverLink() const;
  void Repaint(bool now);
  void Detach();
  const std::wstring& DrawnText() const { return labelText_.empty() ? linkTarget_ : labelText_; }
  UINT Alignment() const;

  HWND window_ = nullptr;
  WNDPROC previousProc_ = nullptr;
  std::wstring labelText_;
  std::wstring linkTarget_;
  HCURSOR cursor_ = nullptr;
  HFONT normalFont_ = nullptr;
  HFONT linkFont_ = nullptr;
  RECT linkRect_{};
  HWND tooltip_ = nullptr;
  bool toolAdded_ = false;
  COLORREF linkColour_ = RGB(0, 0, 255);
  COLORREF visitedColour_ = RGB(128, 0, 128);
  bool paintsText_ = true;
  bool visited_ = false;
  bool ownsLinkFont_ = false;
  bool ownsNormalFont_ = false;
};

}  // namespace javelin
