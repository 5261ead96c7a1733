#include "ui/SpeedButton_win.h"

#include "platform/WindowHelpers_win.h"
#include "ui/Dpi_win.h"
#include "ui/Scoped_win.h"

#include <windowsx.h>

namespace vx {

namespace {

// The checkered face of a button that is down, as flat tool buttons have it.
HBRUSH DownBrush() {
    static const ui::ScopedBrush brush([] {
        WORD bits[8];
        for (int i = 0; i < 8; ++i)
            bits[i] = WORD((i % 2) ? 0xAAAA : 0x5555);
        ui::ScopedBitmap pattern(CreateBitmap(8, 8, 1, 1, bits));
        return CreatePatternBrush(pattern);
    }());
    return brush;
}

} // namespace

bool TSpeedButton::Create(ui::TWindow* parent, const TSpeedButtonStyle& style) {
    style_ = style;
    Hint = style.Hint;
    // The hint doubles as the accessible name of a button without a caption.
    if (!CreateOwn(parent, WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, 0, style.Hint.c_str()))
        return false;
    SetBounds(style.Left, style.Top, style.Width, style.Height);
    return true;
}

void TSpeedButton::SetImages(HIMAGELIST images, HIMAGELIST disabledImages) {
    style_.Images = images;
    style_.DisabledImages = disabledImages;
    Invalidate();
}

void TSpeedButton::SetDown(bool down) {
    if (down == down_) return;
    down_ = down;
    Invalidate();
}

void TSpeedButton::SetImageIndex(int index) {
    if (index == style_.ImageIndex) return;
    style_.ImageIndex = index;
    Invalidate();
}

void TSpeedButton::SetEnabled(bool enabled) {
    if (!Handle() || enabled == Enabled()) return;
    EnableWindow(Handle(), enabled);
    if (!enabled) hot_ = pressed_ = false;
    Invalidate();
}

void TSpeedButton::Click() {
    if (!Enabled()) return;
    if (style_.GroupIndex > 0) SetDown(!down_);
    if (OnClick) OnClick(*this);
}

void TSpeedButton::DropDownClick() {
    if (Enabled() && OnDropDown) OnDropDown(*this);
}

RECT TSpeedButton::MainRect() const {
    RECT r{};
    GetClientRect(Handle(), &r);
    if (style_.DropDown) r.right -= ui::Scale(kArrowWidth, ui::WindowDpi(Handle()));
    return r;
}

bool TSpeedButton::OnArrow(LPARAM lParam) const {
    return style_.DropDown && GET_X_LPARAM(lParam) >= MainRect().right;
}

void TSpeedButton::Paint(HDC dc) {
    RECT client;
    GetClientRect(Handle(), &client);
    FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
    RECT main = MainRect();
    const bool enabled = Enabled();
    const bool sunken = down_ || (pressed_ && inside_);
    if (down_ && !(pressed_ && inside_)) {
        COLORREF oldText = SetTextColor(dc, GetSysColor(COLOR_BTNFACE));
        COLORREF oldBk = SetBkColor(dc, GetSysColor(COLOR_BTNHIGHLIGHT));
        RECT face = main;
        InflateRect(&face, -1, -1);
        FillRect(dc, &face, DownBrush());
        SetTextColor(dc, oldText);
        SetBkColor(dc, oldBk);
    }
    if (sunken)
        DrawEdge(dc, &main, BDR_SUNKENOUTER, BF_RECT);
    else if (hot_ && enabled)
        DrawEdge(dc, &main, BDR_RAISEDINNER, BF_RECT);
    if (style_.DropDown) {
        RECT arrow{main.right, client.top, client.right, client.bottom};
        if (hot_ && enabled) DrawEdge(dc, &arrow, BDR_RAISEDINNER, BF_RECT);
        int cx = (arrow.left + arrow.right) / 2, cy = (arrow.top + arrow.bottom) / 2;
        const UINT dpi = ui::WindowDpi(Handle());
        const auto px = [dpi](int v) { return ui::Scale(v, dpi); };
        POINT tri[3] = {{cx - px(3), cy - px(1)}, {cx + px(4), cy - px(1)}, {cx, cy + px(3)}};
        HBRUSH b = GetSysColorBrush(enabled ? COLOR_BTNTEXT : COLOR_GRAYTEXT);
        ui::ScopedSelectObject brush(dc, b);
        ui::ScopedSelectObject pen(dc, GetStockObject(NULL_PEN));
        Polygon(dc, tri, 3);
    }
    HIMAGELIST list = enabled || !style_.DisabledImages ? style_.Images : style_.DisabledImages;
    if (list && style_.ImageIndex >= 0) {
        int cx = 0, cy = 0;
        ImageList_GetIconSize(list, &cx, &cy);
        int shift = sunken ? 1 : 0;
        int x = main.left + (main.right - main.left - cx) / 2 + shift;
        int y = main.top + (main.bottom - main.top - cy) / 2 + shift;
        ImageList_Draw(list, style_.ImageIndex, dc, x, y, ILD_TRANSPARENT);
    }
}

LRESULT TSpeedButton::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (ToolTip && msg >= WM_MOUSEFIRST && msg <= WM_MBUTTONDBLCLK) {
        MSG m{Handle(), msg, wParam, lParam, DWORD(GetMessageTime()), {}};
        GetCursorPos(&m.pt);
        SendMessageA(ToolTip, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&m));
    }
    if (PaintMessage(Handle(), msg, wParam, [this](HDC dc) { Paint(dc); })) return 0;
    switch (msg) {
    case WM_ERASEBKGND:
        return 1;
    case WM_MOUSEMOVE: {
        if (!hot_) {
            hot_ = true;
            TRACKMOUSEEVENT t{sizeof t, TME_LEAVE, Handle(), 0};
            TrackMouseEvent(&t);
            Invalidate();
        }
        if (pressed_) {
            RECT r = MainRect();
            POINT pt{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
            bool inside = PtInRect(&r, pt);
            if (inside != inside_) {
                inside_ = inside;
                Invalidate();
            }
        }
        return 0;
    }
    case WM_MOUSELEAVE:
        hot_ = false;
        Invalidate();
        return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        if (OnArrow(lParam)) {
            // The menu is modal; the button shows raised while it is open.
            DropDownClick();
            return 0;
        }
        SetCapture(Handle());
        pressed_ = inside_ = true;
        Invalidate();
        return 0;
    case WM_LBUTTONUP:
        if (pressed_) {
            bool click = inside_;
            pressed_ = inside_ = false;
            ReleaseCapture();
            Invalidate();
            if (click) Click();
        }
        return 0;
    case WM_CAPTURECHANGED:
        if (pressed_) {
            pressed_ = inside_ = false;
            Invalidate();
        }
        return 0;
    case WM_ENABLE:
        Invalidate();
        return 0;
    case BM_CLICK:
        Click();
        return 0;
    case BM_GETCHECK:
        return down_ ? BST_CHECKED : BST_UNCHECKED;
    case BM_SETCHECK:
        SetDown(wParam == BST_CHECKED);
        return 0;
    }
    return TWindow::WndProc(msg, wParam, lParam);
}

} // namespace vx
