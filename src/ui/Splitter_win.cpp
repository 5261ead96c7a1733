#include "ui/Splitter_win.h"

#include "platform/WindowHelpers_win.h"
#include "ui/Dpi_win.h"
#include "ui/Scoped_win.h"

#include <windowsx.h>

#include <algorithm>

namespace vx::ui {

bool TSplitter::Create(TWindow* parent, TWindow* control, const TSplitterStyle& style) {
    control_ = control;
    style_ = style;
    Align = style.Align;
    if (!CreateOwn(parent, WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS)) return false;
    SetBounds(0, 0, style.Size, style.Size);
    return true;
}

void TSplitter::SetSizes(int size, int minSize, int minRemain) {
    style_.Size = size;
    style_.MinSize = minSize;
    style_.MinRemain = minRemain;
    if (Vertical())
        SetWidth(size);
    else
        SetHeight(size);
}

int TSplitter::ControlSize() const {
    return Vertical() ? control_->Width() : control_->Height();
}

int TSplitter::Clamp(int size) const {
    int max = size;
    if (Parent()) {
        RECT pr;
        GetClientRect(Parent()->Handle(), &pr);
        // Whatever the other children take stays theirs; only the rest may grow.
        int total = Vertical() ? pr.right - pr.left : pr.bottom - pr.top;
        int others = 0;
        for (TWindow* c : Parent()->Children()) {
            if (c == control_ || !c->Visible() || c->Align != style_.Align) continue;
            others += Vertical() ? c->Width() : c->Height();
        }
        max = total - others - style_.MinRemain;
    }
    return std::max(style_.MinSize, std::min(size, max));
}

void TSplitter::MoveTo(int size) {
    if (!control_) return;
    size = Clamp(size);
    if (size == ControlSize()) return;
    if (Vertical())
        control_->SetWidth(size);
    else
        control_->SetHeight(size);
    collapsed_ = size == 0 && style_.CollapseButton;
    if (OnMoved) OnMoved(*this);
}

void TSplitter::ToggleCollapse() {
    if (!control_) return;
    if (!collapsed_) {
        savedSize_ = ControlSize();
        MoveTo(0);
        collapsed_ = true;
    } else {
        collapsed_ = false;
        MoveTo(savedSize_ > 0 ? savedSize_ : 130);
    }
    Invalidate();
}

RECT TSplitter::ButtonRect() const {
    RECT r{};
    if (!style_.CollapseButton || !Handle()) return r;
    GetClientRect(Handle(), &r);
    if (Vertical()) {
        int len = r.bottom - r.top;
        r.top = len / 4;
        r.bottom = len - len / 4;
    } else {
        int len = r.right - r.left;
        r.left = len / 4;
        r.right = len - len / 4;
    }
    return r;
}

int TSplitter::Pos(LPARAM lParam) const {
    POINT pt{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    MapWindowPoints(Handle(), nullptr, &pt, 1); // screen: the splitter moves while dragging
    return Vertical() ? pt.x : pt.y;
}

void TSplitter::Paint(HDC dc) {
    RECT r;
    GetClientRect(Handle(), &r);
    FillRect(dc, &r, GetSysColorBrush(COLOR_BTNFACE));
    if (!style_.CollapseButton) return;
    RECT b = ButtonRect();
    InflateRect(&b, Vertical() ? -1 : 0, Vertical() ? 0 : -1);
    DrawEdge(dc, &b, BDR_RAISEDINNER, BF_RECT | BF_MIDDLE);
    // A small arrow that points where the control will go.
    int cx = (b.left + b.right) / 2, cy = (b.top + b.bottom) / 2;
    bool towardControl = !collapsed_;
    int dir =
        (style_.Align == TAlign::alLeft || style_.Align == TAlign::alTop) == towardControl ? -1 : 1;
    const UINT dpi = WindowDpi(Handle());
    const int two = Scale(2, dpi), four = Scale(4, dpi), six = Scale(6, dpi);
    POINT tri[3];
    if (Vertical())
        tri[0] = {cx + dir * two, cy}, tri[1] = {cx - dir * two, cy - four},
        tri[2] = {cx - dir * two, cy + four};
    else
        tri[0] = {cx, cy + dir * two}, tri[1] = {cx - four, cy - dir * two},
        tri[2] = {cx + four, cy - dir * two};
    {
        ScopedSelectObject pen(dc, GetStockObject(NULL_PEN));
        ScopedSelectObject brush(dc, GetSysColorBrush(COLOR_BTNTEXT));
        Polygon(dc, tri, 3);
    }
    // Grip dots above and below the arrow.
    for (int i = -3; i <= 3; ++i) {
        if (i > -2 && i < 2) continue;
        int x = Vertical() ? cx : cx + i * six, y = Vertical() ? cy + i * six : cy;
        SetPixel(dc, x, y, GetSysColor(COLOR_BTNSHADOW));
    }
}

LRESULT TSplitter::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (PaintMessage(Handle(), msg, wParam, [this](HDC dc) { Paint(dc); })) return 0;
    switch (msg) {
    case WM_ERASEBKGND:
        return 1;
    case WM_SETCURSOR: {
        POINT pt;
        GetCursorPos(&pt);
        ScreenToClient(Handle(), &pt);
        RECT b = ButtonRect();
        bool onButton = PtInRect(&b, pt);
        SetCursor(LoadCursor(nullptr, onButton ? IDC_HAND : Vertical() ? IDC_SIZEWE : IDC_SIZENS));
        return TRUE;
    }
    case WM_LBUTTONDOWN:
        if (!control_) break;
        SetCapture(Handle());
        dragging_ = true;
        moved_ = false;
        dragStart_ = Pos(lParam);
        sizeStart_ = ControlSize();
        return 0;
    case WM_MOUSEMOVE:
        if (dragging_) {
            int delta = Pos(lParam) - dragStart_;
            if (style_.Align == TAlign::alRight || style_.Align == TAlign::alBottom) delta = -delta;
            if (delta != 0) moved_ = true;
            if (moved_) MoveTo(sizeStart_ + delta);
        }
        return 0;
    case WM_LBUTTONUP:
        if (dragging_) {
            dragging_ = false;
            ReleaseCapture();
            POINT pt{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
            RECT b = ButtonRect();
            if (!moved_ && PtInRect(&b, pt)) ToggleCollapse();
        }
        return 0;
    case WM_CAPTURECHANGED:
        dragging_ = false;
        return 0;
    }
    return TWindow::WndProc(msg, wParam, lParam);
}

} // namespace vx::ui
