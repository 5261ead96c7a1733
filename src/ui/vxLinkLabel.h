// TvxLinkLabelBase: the rules of the hyperlink label, free of any window.
//
// A label that can act as a hyperlink: while the mouse is over it, a link
// label (lsInternetLink, lsMailTo) is drawn in LinkFont with the hand cursor,
// and a click opens Link (or "mailto:" + Link) through the shell service. Any
// label can draw its text with a drop shadow of ShadowSize pixels (0..5).
//
// The Win32 control is TvxLinkLabel (vxLinkLabel_win.h); it feeds the mouse
// into MouseEnter/MouseLeave/Click and paints what TextFont() and Layout() say.
#pragma once

#include "platform/Platform.h"

#include <functional>
#include <string>

namespace vx {

enum class TvxShadowLayout { slTopLeft, slTopRight, slBottomLeft, slBottomRight };
enum class TvxLinkLabelStyle { lsStandard, lsInternetLink, lsMailTo };

// Cursor shapes, numbered as the toolkit numbers them.
enum TCursor : int { crDefault = 0, crArrow = -2, crHandPoint = -21 };

// The show command of the shell call: show without activating.
inline constexpr int kLinkShowCommand = 4;

struct TLabelRect {
    int Left = 0, Top = 0, Right = 0, Bottom = 0;
    int Width() const { return Right - Left; }
    int Height() const { return Bottom - Top; }
    bool operator==(const TLabelRect&) const = default;
};

// Where a text of a given size and its shadow go inside the label.
struct TLinkTextLayout {
    TLabelRect Text;   // the text itself
    TLabelRect Shadow; // the shadow copy (only drawn when ShadowSize > 0)
    TLabelRect Bounds; // what text and shadow cover together: the auto-size
};

class TvxLinkLabelBase {
  public:
    // shell may be null: a click then opens nothing.
    TvxLinkLabelBase(IShell* shell, const TFont& defaultFont);
    virtual ~TvxLinkLabelBase() = default;
    TvxLinkLabelBase(const TvxLinkLabelBase&) = delete;
    TvxLinkLabelBase& operator=(const TvxLinkLabelBase&) = delete;

    TvxShadowLayout ShadowLayout() const { return shadowLayout_; }
    void SetShadowLayout(TvxShadowLayout value);
    TColor ShadowColor() const { return shadowColor_; }
    void SetShadowColor(TColor value);
    int ShadowSize() const { return shadowSize_; }
    // Sizes above 5 become 5; negative sizes are ignored.
    void SetShadowSize(int value);
    const TFont& LinkFont() const { return linkFont_; }
    void SetLinkFont(const TFont& value);
    TvxLinkLabelStyle LabelStyle() const { return labelStyle_; }
    void SetLabelStyle(TvxLinkLabelStyle value);
    const std::string& Link() const { return link_; }
    void SetLink(const std::string& value) { link_ = value; }
    // "1.1"; the property is read-only.
    std::string Version() const;

    // What every label has.
    const std::string& Caption() const { return caption_; }
    void SetCaption(const std::string& value);
    const TFont& Font() const { return font_; }
    void SetFont(const TFont& value);
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool value);
    int Cursor() const { return cursor_; }
    void SetCursor(int value);
    bool DragAutomatic() const { return dragAutomatic_; }
    void SetDragAutomatic(bool value) { dragAutomatic_ = value; }
    bool MouseOver() const { return mouseOver_; }

    // The label's own click event; runs before the link is opened.
    std::function<void(TvxLinkLabelBase& sender)> OnClick;

    void MouseEnter();
    void MouseLeave();
    void Click();

    // The font the text is drawn in now: LinkFont while the mouse is over a link.
    const TFont& TextFont() const;
    // Text, shadow and bounds for a text of textWidth by textHeight pixels.
    TLinkTextLayout Layout(int textWidth, int textHeight) const;
    static void ShadowOffset(TvxShadowLayout layout, int size, int& dx, int& dy);

  protected:
    virtual void Invalidate() {}
    virtual void AdjustBounds() {}
    virtual void CursorChanged() {}
    virtual void EnabledChanged() {}
    virtual void CaptionChanged() {}

  private:
    IShell* shell_;
    TvxShadowLayout shadowLayout_ = TvxShadowLayout::slBottomRight;
    TColor shadowColor_ = clBtnShadow;
    int shadowSize_ = 0;
    TFont linkFont_;
    TvxLinkLabelStyle labelStyle_ = TvxLinkLabelStyle::lsStandard;
    std::string link_;
    std::string caption_;
    TFont font_;
    bool enabled_ = true;
    bool dragAutomatic_ = false;
    int cursor_ = crDefault;
    int savedCursor_ = crDefault;
    bool cursorSwapped_ = false;
    bool mouseOver_ = false;
};

} // namespace vx
