#include "ui/Panel_win.h"

#include "platform/WindowHelpers_win.h"

#include <windowsx.h>

namespace vx::ui {

TPanel::~TPanel() = default;

bool TPanel::Create(TWindow* parent, const TPanelStyle& style, HWND parentHandle) {
    style_ = style;
    Align = style.Align;
    DWORD ws = WS_CHILD | WS_CLIPCHILDREN | WS_CLIPSIBLINGS | (style.Visible ? WS_VISIBLE : 0);
    if (style.SingleBorder) ws |= WS_BORDER;
    int f = FrameWidth();
    Padding = {f, f, f, f};
    // Made at its size: one move less per panel (each goes to the server under Wine).
    TCreateParams p;
    p.Parent = parent;
    p.ParentHandle = parentHandle;
    p.Style = ws;
    p.Text = caption_.c_str();
    p.Width = style.Width;
    p.Height = style.Height;
    return CreateOwn(p);
}

int TPanel::FrameWidth() const {
    return style_.BevelOuter == TBevel::bvNone ? 0 : 1;
}

void TPanel::SetColor(TColor color) {
    if (color == style_.Color) return;
    style_.Color = color;
    Invalidate();
}

void TPanel::SetCaption(const std::string& caption) {
    if (caption == caption_) return;
    caption_ = caption;
    // Also the window text, so screen readers and other programs can read it.
    if (Handle()) SetWindowTextA(Handle(), caption_.c_str());
    Invalidate();
}

void TPanel::SetCaptionFont(HFONT font) {
    font_.Reset(font);
    Invalidate();
}

void TPanel::Paint(HDC dc) {
    RECT r;
    GetClientRect(Handle(), &r);
    ScopedBrush b(CreateSolidBrush(ToColorRef(style_.Color)));
    FillRect(dc, &r, b);
    if (style_.BevelOuter != TBevel::bvNone) {
        RECT e = r;
        DrawEdge(dc, &e, style_.BevelOuter == TBevel::bvLowered ? BDR_SUNKENOUTER : BDR_RAISEDINNER,
                 BF_RECT);
    }
    if (!caption_.empty()) {
        ScopedSelectObject font(dc,
                                font_ ? HGDIOBJ(font_.Get()) : GetStockObject(DEFAULT_GUI_FONT));
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, ToColorRef(style_.FontColor));
        RECT t = r;
        InflateRect(&t, -(FrameWidth() + 1), 0);
        UINT align = style_.Alignment == TTextAlign::taLeft    ? DT_LEFT
                     : style_.Alignment == TTextAlign::taRight ? DT_RIGHT
                                                               : DT_CENTER;
        DrawTextA(dc, caption_.c_str(), int(caption_.size()), &t,
                  align | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
    }
    if (OnPaint) OnPaint(*this, dc, r);
}

LRESULT TPanel::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (PaintMessage(Handle(), msg, wParam, [this](HDC dc) { Paint(dc); })) return 0;
    switch (msg) {
    case WM_ERASEBKGND: {
        // Our own painting covers everything; this serves transparent
        // children (flat tool bars) that ask their parent for a background.
        RECT r;
        GetClientRect(Handle(), &r);
        HDC dc = reinterpret_cast<HDC>(wParam);
        SetBkColor(dc, ToColorRef(style_.Color));
        ExtTextOutA(dc, 0, 0, ETO_OPAQUE, &r, nullptr, 0, nullptr);
        return 1;
    }
    case WM_LBUTTONDBLCLK:
        if (OnDblClick) {
            OnDblClick(*this, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
            return 0;
        }
        break;
    case WM_CTLCOLORSTATIC: {
        // Labels on the panel take its colour unless they answer themselves.
        LRESULT r = 0;
        if (Reflect(msg, wParam, lParam, r)) return r;
        HDC dc = reinterpret_cast<HDC>(wParam);
        SetBkColor(dc, ToColorRef(style_.Color));
        brush_.Reset(CreateSolidBrush(ToColorRef(style_.Color)));
        return reinterpret_cast<LRESULT>(brush_.Get());
    }
    }
    return TWindow::WndProc(msg, wParam, lParam);
}

} // namespace vx::ui
