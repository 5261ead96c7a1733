// TvxLinkLabel: the hyperlink label as a Win32 child window.
//
//   TLinkLabelStyle s;
//   s.Caption = "Click here";
//   s.Left = 128;
//   s.Top = 144;
//   s.LabelStyle = TvxLinkLabelStyle::lsInternetLink;
//   s.Link = "https://www.example.org/";
//   TvxLinkLabel link(panel, s, &shell);
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

#include <optional>
#include <string>

namespace vx {

// How a link label is made (TvxLinkLabelStyle, in it, is the kind of label).
struct TLinkLabelStyle {
    std::string Caption;
    int Left = 0, Top = 0;
    TFont Font;                    // the text at rest
    std::optional<TFont> LinkFont; // while the mouse is over a link; none: Font, blue, underlined
    TvxLinkLabelStyle LabelStyle = TvxLinkLabelStyle::lsStandard;
    std::string Link;      // what a click opens (a link label only)
    int ShadowSize = 0;    // 0..5 pixels
    int PixelsPerInch = 0; // see SetPixelsPerInch
};

class TvxLinkLabel : public TvxLinkLabelBase {
  public:
    // shell may be null: a click then opens nothing.
    TvxLinkLabel(HWND parent, const TLinkLabelStyle& style, IShell* shell);
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
