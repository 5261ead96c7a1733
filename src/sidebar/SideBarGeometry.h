// Geometry of the side bar, free of any window system: where the bar puts its
// headers, where a header puts its buttons and scroll arrows, how caption
// strips and buttons are laid out for painting, and the gradient bands. The
// window layer only turns these rectangles into GDI calls.
#pragma once

#include "sidebar/SideBarTypes.h"

#include <optional>
#include <string>
#include <vector>

namespace vx::sbar {

// The bar is laid out for 96 pixels per inch; every gap and size of that
// layout is scaled to the pixels per inch of the window it is shown in.
inline constexpr int kBasePixelsPerInch = 96;
// A measure of the 96 layout at `pixelsPerInch` (rounded to the nearest pixel).
inline int Px(int px, int pixelsPerInch) {
    return pixelsPerInch == kBasePixelsPerInch ? px : MulDiv(px, pixelsPerInch, kBasePixelsPerInch);
}

// The bar's client rectangle less its border and bevels.
TRect BarInnerRect(const TRect& client, int borderWidth, TBevelCut outer, TBevelCut inner,
                   int bevelWidth);

// Bounds of header `index` of a bar. `visible` holds every header's visibility
// by index; `active` is the open header's index or -1; h the caption height.
TRect HeaderRect(const TRect& inner, int index, const std::vector<bool>& visible, int active,
                 int h);

// One button as the stacking sees it.
struct TStackItem {
    bool Visible = true;
    TButtonStyle Style = TButtonStyle::bsLarge;
    int Width = 0, Height = 0;
};

// Stacks buttons from topIndex down the header; the others get no position.
// The gaps between buttons are those of the 96 layout at pixelsPerInch.
std::vector<std::optional<TPoint>> StackButtons(const std::vector<TStackItem>& buttons,
                                                int headerWidth, int captionHeight,
                                                int firstButtonTop, int topIndex,
                                                int pixelsPerInch = kBasePixelsPerInch);

// Where the up and down arrows of a header go, its body being below the
// caption strip of height h.
struct TScrollPlacement {
    TPoint Up, Down;
};
TScrollPlacement PlaceScrollButtons(const TRect& body, int h, int upWidth, int downWidth,
                                    int downHeight);

// Which arrows a header needs: the column is scrolled, or its last button
// reaches below the header (lastButtonBottom is empty without buttons).
struct TScrollNeed {
    bool Up = false, Down = false;
};
TScrollNeed ScrollNeeds(int topIndex, std::optional<int> lastButtonBottom, int headerHeight);

// TopIndex after one click on an arrow, kept within the column.
int ScrollStep(int topIndex, int buttonCount, bool down);

// A Frame3D-style bevel: `Width` rings inside `Rect`, the top and left edges
// in `TopColor`, the bottom and right ones in `BottomColor`.
struct TBevel {
    TRect Rect;
    int Width = 1;
    TColor TopColor = 0, BottomColor = 0;
};
// The colours of a bevel of the given cut (raised unless lowered).
TBevel MakeBevel(const TRect& r, int width, TBevelCut cut);
// The filled rectangles that draw a bevel, each with its colour.
struct TFill {
    TRect Rect;
    TColor Color = 0;
};
std::vector<TFill> BevelFills(const TBevel& bevel);

// The bar's frame from the outside in (outer bevel, border, inner bevel).
std::vector<TBevel> BarFrame(const TRect& client, TColor color, int borderWidth, TBevelCut outer,
                             TBevelCut inner, int bevelWidth);

// Everything a caption strip needs to be painted.
struct TCaptionInput {
    TRect Strip;              // (0, 0, width, h)
    bool Flat = false;        // the bar is flat ...
    bool Hot = false;         // ... and this header is its hot header
    bool PressedLook = false; // pressed while the bar's ButtonDown is on
    bool Focused = false;
    bool HasImage = false;
    int ImageWidth = 0, ImageHeight = 0;
    int TextHeight = 0; // height of "W" in the caption font
    TGlyphLayout Layout = TGlyphLayout::glGlyphLeft;
    TAlignment Alignment = TAlignment::taCenter;
    TBevelCut BevelOuter = TBevelCut::bvRaised, BevelInner = TBevelCut::bvNone;
    int BevelWidth = 1;
    TColor Color = 0;                       // the header's colour, for its (empty) border
    int PixelsPerInch = kBasePixelsPerInch; // scales the gaps around image and text
};
struct TCaptionLayout {
    std::vector<TBevel> Frame; // in paint order
    std::optional<TRect> FlatLine;
    TRect Face; // filled with the header colour
    std::optional<TPoint> Image;
    std::optional<TRect> Focus; // dotted rectangle
    TRect Text;
    int Offset = 0;
};
TCaptionLayout LayoutCaption(const TCaptionInput& in);

// Everything a button needs to be painted in its off-screen bitmap.
enum class TEdge { None, Raised, Sunken };
struct TButtonInput {
    int Width = 0, Height = 0;
    TButtonStyle Style = TButtonStyle::bsLarge;
    bool HasIcon = false; // the style's image list is set and ImageIndex >= 0
    int IconWidth = 0, IconHeight = 0;
    int TextHeight = 0;
    bool CaptionEmpty = true;
    bool Pressed = false, Hot = false, Focused = false;
    int PixelsPerInch = kBasePixelsPerInch; // scales the gaps around icon and text
};
struct TButtonLayout {
    std::optional<TPoint> Icon;
    TEdge Edge = TEdge::None;
    TRect Text;
    bool Centered = true; // DT_CENTER, else DT_LEFT
    std::optional<TRect> Focus;
};
TButtonLayout LayoutButton(const TButtonInput& in);

// Calls fill for every band of a gradient over r (nothing for an empty r).
void GradientBands(TGradientType type, TColor start, TColor end, const TRect& r,
                   const std::function<void(const TRect&, TColor)>& fill);

// Origins of the copies of a bw x bh bitmap tiled over a header's body.
std::vector<TPoint> TileOrigins(const TRect& body, int bw, int bh, int headerWidth,
                                int headerHeight);

// The black rows of a 15 x 15 arrow glyph, as 1-pixel-high rectangles.
inline constexpr int kArrowGlyphSize = 15;
std::vector<TRect> ArrowGlyphRows(TArrowStyle style);

// True when ch is the accelerator ('&' prefix) of caption, in any letter case.
bool IsAccel(char ch, const std::string& caption);

// "%d.%d" of a component's version number (high byte, low byte).
std::string VersionText(int version);

} // namespace vx::sbar
