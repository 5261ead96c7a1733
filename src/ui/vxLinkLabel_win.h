// TvxLinkLabel: the hyperlink label as a Win32 child window.
//
//   TvxLinkLabel link(panel, 128, 144, "Click here", &shell);
//   link.SetLabelStyle(TvxLinkLabelStyle::lsInternetLink);
//   link.SetLink("https://www.example.org/");
//
// The label sizes itself to its text and shadow (AutoSize, on by default),
// takes its background from its parent through WM_CTLCOLORSTATIC (so it sits
// on any panel), follows the mouse for the hover look and the hand cursor,
// and clicks on a left-button release inside it. Its caption is the window
// text, so screen readers and tests read it. The rules are TvxLinkLabelBase's.
#pragma once

#include "ui/Gdi_win.h"
#include "ui/vxLinkLabel.h"
#include "ui/Window_win.h"

#include <windows.h>

namespace vx {

class TvxLinkLabel : public TvxLinkLabelBase {
  public:
    TvxLinkLabel(HWND parent, int left, int top, const std::string& caption, IShell* shell,
                 const TFont& font = TFont{});
    ~TvxLinkLabel() override;

    HWND Handle() const { return window_.Handle(); }
    bool AutoSize() const { return autoSize_; }
    void SetAutoSize(bool value);
    // Off: "&" is shown as it is instead of underlining the next letter.
    bool ShowAccelChar() const { return showAccelChar_; }
    void SetShowAccelChar(bool value);
    // Pixels per inch at which the fonts' points become pixels: 0 (the
    // default) takes the screen's; a form laid out in pixels gives the one
    // its layout was made for, so the text keeps to its place at any setting.
    int PixelsPerInch() const { return pixelsPerInch_; }
    void SetPixelsPerInch(int value);
    void SetBounds(int left, int top, int width, int height);
    RECT BoundsRect() const; // in the parent's client coordinates

  protected:
    void Invalidate() override;
    void AdjustBounds() override;
    void CursorChanged() override;
    void EnabledChanged() override;
    void CaptionChanged() override;

  private:
    LRESULT Message(UINT msg, WPARAM wParam, LPARAM lParam);
    void Paint(HDC dc);
    UINT DrawFlags() const;
    HFONT CurrentFont();
    SIZE MeasureText(HDC dc);
    void ApplyCursor();

    ui::TOwnedWindow window_;
    TGdiFont fontHandle_, linkFontHandle_;
    int pixelsPerInch_ = 0;
    bool autoSize_ = true;
    bool showAccelChar_ = true;
    bool tracking_ = false;
    bool pressed_ = false;
};

} // namespace vx
