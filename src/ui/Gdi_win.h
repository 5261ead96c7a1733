// Small GDI helpers of the forms: a child's parent background, and fonts.
#pragma once

#include "platform/WindowHelpers_win.h" // PaintMessage
#include "platform/Platform.h"
#include "ui/Scoped_win.h"

#include <windows.h>

#include <string>

namespace vx {

// Fills `area` of `dc` with the background `child` shows on its parent: the
// brush the parent answers WM_CTLCOLORSTATIC with, the button face without one.
void FillParentBackground(HWND child, HDC dc, const RECT& area);

// An owned GDI font made from a TFont; points are converted with the
// screen's pixels per inch, or taken as pixels when heightInPixels is set.
class TGdiFont {
  public:
    TGdiFont() = default;
    explicit TGdiFont(const TFont& font, int heightInPixels = 0);
    ~TGdiFont();
    TGdiFont(const TGdiFont&) = delete;
    TGdiFont& operator=(const TGdiFont&) = delete;
    // Makes the font again when it differs from the one held.
    HFONT Get(const TFont& font, int heightInPixels = 0);
    HFONT Handle() const { return handle_; }

  private:
    ui::ScopedFont handle_;
    TFont font_;
    int pixels_ = 0;
};

// The pixel height of a font's points at this many pixels per inch.
inline int FontPixels(const TFont& font, int pixelsPerInch) {
    return MulDiv(font.Size, pixelsPerInch, 72);
}

// The module that holds this code (the exe in the program and in tests).
HINSTANCE ThisModule();

} // namespace vx
