#include "sidebar/SideBarGeometry.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>

namespace vx::sbar {

int MulDiv(int number, int numerator, int denominator) {
    if (denominator == 0) return -1;
    long long p = (long long)number * numerator;
    long long q = denominator;
    long long r = (std::llabs(p) * 2 + std::llabs(q)) / (std::llabs(q) * 2);
    return int(((p < 0) != (q < 0)) ? -r : r);
}

TRect BarInnerRect(const TRect& client, int borderWidth, TBevelCut outer, TBevelCut inner,
                   int bevelWidth) {
    int d = borderWidth;
    if (outer != TBevelCut::bvNone) d += bevelWidth;
    if (inner != TBevelCut::bvNone) d += bevelWidth;
    return client.Inflated(-d);
}

TRect HeaderRect(const TRect& inner, int index, const std::vector<bool>& visible, int active,
                 int h) {
    int n = int(visible.size());
    if (index < 0 || index >= n) return {};
    int hiddenBefore = 0, hiddenAfter = 0;
    for (int i = 0; i < n; ++i) {
        if (visible[i]) continue;
        if (i < index) ++hiddenBefore;
        if (i > index) ++hiddenAfter;
    }
    TRect r = inner;
    if (active >= 0 && index >= active) {
        r.Bottom -= (n - hiddenAfter - index - 1) * h;
        if (index == active) {
            r.Top += (index - hiddenBefore) * h;
        } else {
            r.Top = r.Bottom - h;
        }
        return r;
    }
    r.Top += (index - hiddenBefore) * h;
    r.Bottom = r.Top + h;
    return r;
}

std::vector<std::optional<TPoint>> StackButtons(const std::vector<TStackItem>& buttons,
                                                int headerWidth, int captionHeight,
                                                int firstButtonTop, int topIndex,
                                                int pixelsPerInch) {
    const int gap = Px(2, pixelsPerInch);
    std::vector<std::optional<TPoint>> at(buttons.size());
    int y = captionHeight + firstButtonTop;
    for (size_t i = 0; i < buttons.size(); ++i) {
        const TStackItem& b = buttons[i];
        if (!b.Visible || int(i) < topIndex) continue;
        int x = b.Style == TButtonStyle::bsLarge ? (headerWidth - b.Width) / 2 : gap;
        at[i] = TPoint{x, y};
        y += b.Height + gap;
    }
    return at;
}

TScrollPlacement PlaceScrollButtons(const TRect& body, int h, int upWidth, int downWidth,
                                    int downHeight) {
    TScrollPlacement p;
    p.Up = {body.Right - upWidth - 1, body.Top + 1};
    p.Down.X = body.Right - downWidth - 1;
    if (body.Height() > 0 && h < body.Bottom - downHeight - 1) {
        p.Down.Y = body.Bottom - downHeight - 1;
    } else {
        // Out of sight below a closed header.
        p.Up.Y = p.Down.Y = h + 100;
    }
    return p;
}

TScrollNeed ScrollNeeds(int topIndex, std::optional<int> lastButtonBottom, int headerHeight) {
    return {topIndex >= 1, lastButtonBottom && *lastButtonBottom > headerHeight};
}

int ScrollStep(int topIndex, int buttonCount, bool down) {
    int t = down ? topIndex + 1 : topIndex - 1;
    if (t > buttonCount - 1) t = buttonCount - 1;
    return t < 0 ? 0 : t;
}

TBevel MakeBevel(const TRect& r, int width, TBevelCut cut) {
    if (cut == TBevelCut::bvLowered) return {r, width, clBtnShadow, clBtnHighlight};
    return {r, width, clBtnHighlight, clBtnShadow};
}

std::vector<TFill> BevelFills(const TBevel& bevel) {
    // Per ring: the top row and left column (less the top-right corner) in the
    // top colour, the right column and bottom row in the bottom colour.
    std::vector<TFill> out;
    TRect r = bevel.Rect;
    for (int i = 0; i < bevel.Width && !r.Empty(); ++i) {
        out.push_back({{r.Left, r.Top, r.Right - 1, r.Top + 1}, bevel.TopColor});
        out.push_back({{r.Left, r.Top, r.Left + 1, r.Bottom}, bevel.TopColor});
        out.push_back({{r.Right - 1, r.Top, r.Right, r.Bottom - 1}, bevel.BottomColor});
        out.push_back({{r.Left, r.Bottom - 1, r.Right, r.Bottom}, bevel.BottomColor});
        r = r.Inflated(-1);
    }
    return out;
}

std::vector<TBevel> BarFrame(const TRect& client, TColor color, int borderWidth, TBevelCut outer,
                             TBevelCut inner, int bevelWidth) {
    std::vector<TBevel> frame;
    TRect r = client;
    if (outer != TBevelCut::bvNone) {
        frame.push_back(MakeBevel(r, bevelWidth, outer));
        r = r.Inflated(-bevelWidth);
    }
    if (borderWidth > 0) frame.push_back({r, borderWidth, color, color});
    r = r.Inflated(-borderWidth);
    if (inner != TBevelCut::bvNone) frame.push_back(MakeBevel(r, bevelWidth, inner));
    return frame;
}

TCaptionLayout LayoutCaption(const TCaptionInput& in) {
    TCaptionLayout out;
    TRect cs = in.Strip;
    auto bevel = [&](int width, TBevelCut cut) {
        out.Frame.push_back(MakeBevel(cs, width, cut));
        cs = cs.Inflated(-width);
    };
    if (!in.Flat || in.Hot) {
        if (in.PressedLook) {
            out.Offset += 2;
            bevel(1, TBevelCut::bvRaised);
            bevel(1, TBevelCut::bvLowered); // the header's border between them is 0 wide
        } else {
            if (in.BevelOuter != TBevelCut::bvNone) {
                out.Offset += 1;
                bevel(in.BevelWidth, in.BevelOuter);
            }
            if (in.BevelInner != TBevelCut::bvNone) {
                out.Offset += 1;
                bevel(in.BevelWidth, in.BevelInner);
            }
        }
    } else {
        cs.Bottom -= 1;
        out.FlatLine = TRect{cs.Left, cs.Bottom, cs.Right, cs.Bottom + 1};
    }
    out.Face = cs;
    const auto px = [&](int v) { return Px(v, in.PixelsPerInch); };
    if (in.HasImage) {
        int x = in.Layout == TGlyphLayout::glGlyphLeft ? cs.Left + px(2)
                : in.Layout == TGlyphLayout::glGlyphRight
                    ? cs.Right - in.ImageWidth - px(2)
                    : (cs.Width() - in.ImageWidth) / 2 + out.Offset;
        out.Image = TPoint{x, (cs.Height() - in.ImageHeight) / 2 + out.Offset};
    }
    if (in.Focused) {
        cs = cs.Inflated(-1);
        out.Focus = cs;
    }
    cs.Top = (cs.Bottom + cs.Top - in.TextHeight) / 2;
    cs.Bottom = cs.Top + in.TextHeight;
    if (in.HasImage) {
        if (in.Layout == TGlyphLayout::glGlyphLeft && in.Alignment == TAlignment::taLeftJustify)
            cs.Left += in.ImageWidth + px(3);
        if (in.Layout == TGlyphLayout::glGlyphRight && in.Alignment == TAlignment::taRightJustify)
            cs.Right -= in.ImageWidth + px(4);
    }
    if (in.PressedLook) cs.Left += out.Offset / 2;
    out.Text = cs;
    return out;
}

TButtonLayout LayoutButton(const TButtonInput& in) {
    TButtonLayout out;
    TRect r{0, 0, in.Width, in.Height};
    TEdge edge = in.Pressed ? TEdge::Sunken : in.Hot ? TEdge::Raised : TEdge::None;
    const auto px = [&](int v) { return Px(v, in.PixelsPerInch); };
    if (in.Style == TButtonStyle::bsLarge) {
        if (in.HasIcon) {
            int x = (in.Width - in.IconWidth) / 2;
            int y = in.CaptionEmpty ? (in.Height - in.IconHeight) / 2
                                    : (in.Height - in.IconHeight - in.TextHeight - px(2)) / 2;
            if (in.Pressed) ++x, ++y;
            out.Icon = TPoint{x, y};
        }
        out.Edge = edge;
        r.Top = in.Height - in.TextHeight - px(2);
        if (in.Pressed) ++r.Top, ++r.Left;
    } else {
        out.Centered = false;
        if (in.HasIcon) {
            out.Icon = in.Pressed ? TPoint{px(2) + 1, (in.Height - in.IconHeight) / 2 + 1}
                                  : TPoint{px(2), (in.Height - in.IconHeight) / 2};
            out.Edge = edge;
            r.Left = in.IconWidth + px(4);
        }
        r.Top += (in.Height - in.TextHeight) / 2;
    }
    out.Text = r;
    if (in.Focused && !in.Hot) out.Focus = TRect{0, 0, in.Width, in.Height}.Inflated(-1);
    return out;
}

namespace {

TColor Blend(TColor start, TColor end, int i, int n) {
    // Plain byte arithmetic: a system colour constant is not translated.
    uint32_t out = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
        int a = int((start >> shift) & 0xFF), b = int((end >> shift) & 0xFF);
        int c = n == 0 ? a : a + MulDiv(i, b - a, n);
        out |= uint32_t(c & 0xFF) << shift;
    }
    return out;
}

} // namespace

void GradientBands(TGradientType type, TColor start, TColor end, const TRect& r,
                   const std::function<void(const TRect&, TColor)>& fill) {
    if (r.Bottom <= r.Top || r.Left >= r.Right) return;
    int w = r.Width(), h = r.Height();
    switch (type) {
    case TGradientType::gtl2r:
        for (int i = 0; i < 256; ++i)
            fill({r.Left + MulDiv(i, w, 256), r.Top, r.Left + MulDiv(i + 1, w, 256), r.Bottom},
                 Blend(start, end, i, 255));
        break;
    case TGradientType::gtt2b:
        for (int i = 0; i < 256; ++i)
            fill({r.Left, r.Top + MulDiv(i, h, 256), r.Right, r.Top + MulDiv(i + 1, h, 256)},
                 Blend(start, end, i, 255));
        break;
    case TGradientType::gts2c:
        for (int i = 0, m = w / 2; i <= m; ++i) {
            TColor c = Blend(start, end, i, m);
            fill({r.Left + i, r.Top, r.Left + i + 1, r.Bottom}, c);
            fill({r.Right - 1 - i, r.Top, r.Right - i, r.Bottom}, c);
        }
        break;
    case TGradientType::gttb2c:
        for (int i = 0, m = h / 2; i <= m; ++i) {
            TColor c = Blend(start, end, i, m);
            fill({r.Left, r.Top + i, r.Right, r.Top + i + 1}, c);
            fill({r.Left, r.Bottom - 1 - i, r.Right, r.Bottom - i}, c);
        }
        break;
    }
}

std::vector<TPoint> TileOrigins(const TRect& body, int bw, int bh, int headerWidth,
                                int headerHeight) {
    std::vector<TPoint> out;
    if (bw <= 0 || bh <= 0) return out;
    for (int y = body.Top; y < headerHeight; y += bh)
        for (int x = body.Left; x < headerWidth; x += bw)
            out.push_back({x, y});
    return out;
}

std::vector<TRect> ArrowGlyphRows(TArrowStyle style) {
    // Rows 5..9 of the up arrow are 2, 4, 6, 8 and 10 pixels wide around columns 6-7.
    std::vector<TRect> rows;
    for (int k = 0; k < 5; ++k) {
        int y = style == TArrowStyle::asUp ? 5 + k : 9 - k;
        rows.push_back({6 - k, y, 8 + k, y + 1});
    }
    return rows;
}

bool IsAccel(char ch, const std::string& caption) {
    for (size_t i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != '&') continue;
        if (caption[i + 1] == '&') {
            ++i; // "&&" is a literal ampersand
            continue;
        }
        return std::toupper((unsigned char)caption[i + 1]) == std::toupper((unsigned char)ch);
    }
    return false;
}

std::string VersionText(int version) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%d.%d", (version >> 8) & 0xFF, version & 0xFF);
    return buf;
}

} // namespace vx::sbar
