#include "sidebar/OutlookPaint_win.h"

#include "ui/Scoped_win.h"

#include <commctrl.h>

namespace vx {

using namespace sbar;

namespace {

RECT Win(const TRect& r) {
    return {r.Left, r.Top, r.Right, r.Bottom};
}

void Fill(HDC dc, const TRect& r, TColor c) {
    if (r.Empty()) return;
    RECT wr = Win(r);
    FillRect(dc, &wr, ui::ScopedBrush(CreateSolidBrush(SideBarColorRef(c))));
}

void DrawBevel(HDC dc, const TBevel& bevel) {
    for (const TFill& f : BevelFills(bevel))
        Fill(dc, f.Rect, f.Color);
}

// A font made from the model's description, selected for as long as it lives.
class TSelectedFont {
  public:
    // Points at the bar's pixels per inch.
    TSelectedFont(HDC dc, const TFont& f, int ppi)
        : dc_(dc), font_(Make(f, ppi)), select_(dc, font_) {
        SetTextColor(dc, SideBarColorRef(f.Color));
    }
    TSelectedFont(const TSelectedFont&) = delete;
    TSelectedFont& operator=(const TSelectedFont&) = delete;
    int TextHeight() const {
        SIZE s{};
        GetTextExtentPoint32A(dc_, "W", 1, &s);
        return s.cy;
    }

  private:
    static HFONT Make(const TFont& f, int ppi) {
        return CreateFontA(-::MulDiv(f.Size, ppi, 72), 0, 0, 0, f.Bold ? FW_BOLD : FW_NORMAL,
                           f.Italic, f.Underline, f.StrikeOut, f.Charset, OUT_DEFAULT_PRECIS,
                           CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE,
                           f.Name.c_str());
    }

    HDC dc_;
    ui::ScopedFont font_;
    ui::ScopedSelectObject select_;
};

void DrawCaption(HDC dc, const std::string& text, const TRect& r, UINT flags) {
    RECT wr = Win(r);
    DrawTextA(dc, text.c_str(), int(text.size()), &wr, flags);
}

DWORD RasterOp(TBitmapCopy c) {
    switch (c) {
    case TBitmapCopy::bcMergeCopy:
        return MERGECOPY;
    case TBitmapCopy::bcMergePaint:
        return MERGEPAINT;
    case TBitmapCopy::bcSrcErase:
        return SRCERASE;
    case TBitmapCopy::bcSrcPaint:
        return SRCPAINT;
    case TBitmapCopy::bcSrcCopy:
        break;
    }
    return SRCCOPY;
}

HBITMAP MakeDib(HDC dc, const TSideBarBitmap& bmp) {
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = bmp.Width();
    bi.bmiHeader.biHeight = -bmp.Height();
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP h = CreateDIBSection(dc, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!h) return nullptr;
    auto* px = static_cast<uint32_t*>(bits);
    for (size_t i = 0; i < bmp.Pixels().size(); ++i) {
        COLORREF c = SideBarColorRef(bmp.Pixels()[i]);
        px[i] = (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
    }
    return h;
}

void TileBitmap(HDC dc, TvxOutlookBarHeader& h, const TRect& body) {
    const TSideBarBitmap& bmp = h.Bitmap();
    ui::ScopedMemDC src(dc);
    ui::ScopedBitmap dib(MakeDib(dc, bmp));
    if (!dib) return;
    ui::ScopedSelectObject selectDib(src, dib);
    // MERGECOPY combines with the brush: the header's colour.
    ui::ScopedBrush brush(CreateSolidBrush(SideBarColorRef(h.Color())));
    ui::ScopedSelectObject selectBrush(dc, brush);
    DWORD rop = RasterOp(h.BitmapCopy());
    for (TPoint p : TileOrigins(body, bmp.Width(), bmp.Height(), h.Width(), h.Height()))
        BitBlt(dc, p.X, p.Y, bmp.Width(), bmp.Height(), src, 0, 0, rop);
}

void DrawImage(const TSideBarImages* images, int index, HDC dc, TPoint at) {
    ImageList_Draw(reinterpret_cast<HIMAGELIST>(images->Handle()), index, dc, at.X, at.Y,
                   ILD_NORMAL);
}

UINT AlignFlag(TAlignment a) {
    return a == TAlignment::taLeftJustify    ? DT_LEFT
           : a == TAlignment::taRightJustify ? DT_RIGHT
                                             : DT_CENTER;
}

} // namespace

COLORREF SideBarColorRef(TColor c) {
    if (c & 0xFF000000) return GetSysColor(int(c & 0xFF));
    return COLORREF(c & 0xFFFFFF);
}

void PaintOutlookBar(HDC dc, TvxOutlookBar& bar) {
    bar.ArrangeHeaders();
    // The whole face, so no old pixels show where no header lies; the headers
    // are windows and clip themselves out.
    TRect client = bar.ClientRect();
    Fill(dc, client, bar.Color());
    for (const TBevel& b : BarFrame(client, bar.Color(), bar.BorderWidth(), bar.BevelOuter(),
                                    bar.BevelInner(), bar.BevelWidth()))
        DrawBevel(dc, b);
}

void PaintGradient(HDC dc, const TGradient& g, const TRect& r) {
    GradientBands(g.GradientType(), g.StartColor(), g.EndColor(), r,
                  [&](const TRect& band, TColor c) { Fill(dc, band, c & 0xFFFFFF); });
}

void PaintOutlookHeader(HDC dc, TvxOutlookBarHeader& h) {
    TvxOutlookBar* bar = h.OutlookBar();
    const THeaderSettings& s = h.EffectiveSettings();
    TRect body = h.BodyRect();
    if (h.Gradient().BackStyle() == TBackStyle::bsGradient) {
        PaintGradient(dc, h.Gradient(), body);
    } else if (!h.Bitmap().Empty()) {
        TileBitmap(dc, h, body);
    } else {
        Fill(dc, body, h.Color());
    }

    TSideBarImages* images = bar ? bar->Images() : nullptr;
    bool hot = h.IsHot();
    const int ppi = bar ? bar->PixelsPerInch() : kBasePixelsPerInch;
    TSelectedFont font(dc, hot ? s.HighlightFont() : s.HeaderFont(), ppi);
    TCaptionInput in;
    in.Strip = h.CaptionRect();
    in.Flat = bar && bar->Flat();
    in.Hot = hot;
    in.PressedLook = h.Pressed() && bar && bar->ButtonDown();
    in.Focused = h.Focused();
    in.HasImage = images && h.ImageIndex() >= 0;
    in.ImageWidth = images ? images->Width() : 0;
    in.ImageHeight = images ? images->Height() : 0;
    in.TextHeight = font.TextHeight();
    in.Layout = s.Layout();
    in.Alignment = s.Alignment();
    in.BevelOuter = s.BevelOuter();
    in.BevelInner = s.BevelInner();
    in.BevelWidth = s.BevelWidth();
    in.Color = h.Color();
    in.PixelsPerInch = ppi;
    TCaptionLayout l = LayoutCaption(in);

    for (const TBevel& b : l.Frame)
        DrawBevel(dc, b);
    if (l.FlatLine) Fill(dc, *l.FlatLine, clBlack);
    Fill(dc, l.Face, s.HeaderColor());
    if (l.Image) DrawImage(images, h.ImageIndex(), dc, *l.Image);
    if (l.Focus) {
        RECT fr = Win(*l.Focus);
        DrawFocusRect(dc, &fr);
    }
    SetBkMode(dc, TRANSPARENT);
    UINT flags = AlignFlag(s.Alignment()) | DT_VCENTER | DT_EXPANDTABS;
    if (bar && !bar->Enabled()) {
        TRect shifted{l.Text.Left + 1, l.Text.Top + 1, l.Text.Right + 1, l.Text.Bottom + 1};
        SetTextColor(dc, GetSysColor(COLOR_BTNHIGHLIGHT));
        DrawCaption(dc, h.Caption(), shifted, flags);
        SetTextColor(dc, GetSysColor(COLOR_BTNSHADOW));
    }
    DrawCaption(dc, h.Caption(), l.Text, flags);
}

namespace {

// Paints the header behind a transparent button into the button's bitmap.
void DrawParentImage(HDC dc, TOutlookButton& b) {
    TvxOutlookBarHeader* h = b.Header();
    int saved = SaveDC(dc);
    SetViewportOrgEx(dc, -b.Left(), -b.Top(), nullptr);
    IntersectClipRect(dc, 0, 0, h->ClientWidth(), h->ClientHeight());
    PaintOutlookHeader(dc, *h);
    RestoreDC(dc, saved);
}

} // namespace

void PaintOutlookButton(HDC dc, TOutlookButton& b) {
    int w = b.Width(), hgt = b.Height();
    if (w <= 0 || hgt <= 0) return;
    ui::ScopedOffscreen mem(dc, w, hgt);
    if (b.Transparent()) {
        DrawParentImage(mem, b);
    } else {
        Fill(mem, {0, 0, w, hgt}, b.Color());
    }
    {
        TvxOutlookBar* bar = b.Header() ? b.Header()->OutlookBar() : nullptr;
        const int ppi = bar ? bar->PixelsPerInch() : kBasePixelsPerInch;
        TSelectedFont font(mem, b.Font(), ppi);
        bool large = b.ButtonStyle() == TButtonStyle::bsLarge;
        TSideBarImages* images = large ? b.LargeImages() : b.SmallImages();
        TButtonInput in;
        in.Width = w;
        in.Height = hgt;
        in.Style = b.ButtonStyle();
        in.HasIcon = images && b.ImageIndex() >= 0;
        in.IconWidth = images ? images->Width() : 0;
        in.IconHeight = images ? images->Height() : 0;
        in.TextHeight = font.TextHeight();
        in.CaptionEmpty = b.Caption().empty();
        in.Pressed = b.Pressed();
        in.Hot = b.Hot();
        in.Focused = b.Focused();
        in.PixelsPerInch = ppi;
        TButtonLayout l = LayoutButton(in);
        if (l.Icon) DrawImage(images, b.ImageIndex(), mem, *l.Icon);
        if (l.Edge != TEdge::None) {
            RECT r{0, 0, w, hgt};
            DrawEdge(mem, &r, l.Edge == TEdge::Sunken ? BDR_SUNKENINNER : BDR_RAISEDOUTER, BF_RECT);
        }
        SetBkMode(mem, TRANSPARENT);
        DrawCaption(mem, b.Caption(), l.Text,
                    (l.Centered ? DT_CENTER : DT_LEFT) | DT_VCENTER | DT_EXPANDTABS);
        if (l.Focus) {
            RECT fr = Win(*l.Focus);
            DrawFocusRect(mem, &fr);
        }
    }
    BitBlt(dc, 0, 0, w, hgt, mem, 0, 0, SRCCOPY);
}

void PaintScrollButton(HDC dc, TScrollButton& s) {
    int w = s.Width(), h = s.Height();
    RECT r{0, 0, w, h};
    Fill(dc, {0, 0, w, h}, clBtnFace);
    if (!s.Flat()) {
        DrawEdge(dc, &r, s.Down() ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
    } else if (s.Down()) {
        DrawEdge(dc, &r, BDR_SUNKENOUTER, BF_RECT);
    } else if (s.Hot()) {
        DrawEdge(dc, &r, BDR_RAISEDINNER, BF_RECT);
    }
    // The glyph's white is transparent: only its black triangle is drawn.
    // The glyph is drawn at the bar's pixels per inch.
    const auto* header = dynamic_cast<TvxOutlookBarHeader*>(s.Parent());
    const TvxOutlookBar* bar = header ? header->OutlookBar() : nullptr;
    const int ppi = bar ? bar->PixelsPerInch() : kBasePixelsPerInch;
    const auto px = [ppi](int v) { return Px(v, ppi); };
    int shift = s.Down() ? 1 : 0;
    int x0 = (w - px(kArrowGlyphSize)) / 2 + shift, y0 = (h - px(kArrowGlyphSize)) / 2 + shift;
    for (const TRect& row : ArrowGlyphRows(s.ArrowStyle()))
        Fill(dc, {x0 + px(row.Left), y0 + px(row.Top), x0 + px(row.Right), y0 + px(row.Bottom)},
             clBlack);
}

} // namespace vx
