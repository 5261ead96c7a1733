#include "ui/vxLinkLabel_win.h"

#include "ui/Scoped_win.h"

#include <windowsx.h>

namespace vx {

namespace {
constexpr const char* kClassName = "TvxLinkLabel";
// Room right of the text for glyphs whose ink runs past their advance width
// (italics, and substituted fonts under some renderers); the label's
// background hides it.
constexpr int kInkMargin = 4;
} // namespace

TvxLinkLabel::TvxLinkLabel(HWND parent, const TLinkLabelStyle& style, IShell* shell)
    : TvxLinkLabelBase(shell, style.Font), pixelsPerInch_(style.PixelsPerInch) {
    if (style.LinkFont) SetLinkFont(*style.LinkFont);
    SetShadowSize(style.ShadowSize);
    SetLabelStyle(style.LabelStyle);
    SetLink(style.Link);
    window_.CreateChild(
        parent, kClassName, style.Left, style.Top, 0, 0, style.Caption.c_str(),
        [this](UINT msg, WPARAM wParam, LPARAM lParam) { return Message(msg, wParam, lParam); },
        typeid(*this));
    SetCaption(style.Caption);
    AdjustBounds();
}

TvxLinkLabel::~TvxLinkLabel() {
    window_.Destroy();
}

void TvxLinkLabel::SetAutoSize(bool value) {
    if (value == autoSize_) return;
    autoSize_ = value;
    AdjustBounds();
}

void TvxLinkLabel::SetShowAccelChar(bool value) {
    if (value == showAccelChar_) return;
    showAccelChar_ = value;
    AdjustBounds();
    Invalidate();
}

void TvxLinkLabel::SetPixelsPerInch(int value) {
    if (value == pixelsPerInch_) return;
    pixelsPerInch_ = value;
    AdjustBounds();
    Invalidate();
}

void TvxLinkLabel::SetBounds(int left, int top, int width, int height) {
    if (Handle())
        SetWindowPos(Handle(), nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

RECT TvxLinkLabel::BoundsRect() const {
    RECT r{};
    if (!Handle()) return r;
    GetWindowRect(Handle(), &r);
    MapWindowPoints(nullptr, GetParent(Handle()), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

void TvxLinkLabel::Invalidate() {
    if (Handle()) InvalidateRect(Handle(), nullptr, TRUE);
}

void TvxLinkLabel::AdjustBounds() {
    if (!Handle() || !autoSize_) return;
    const SIZE text = MeasureText(ui::ScopedGetDC(Handle()));
    const TLabelRect bounds = Layout(text.cx, text.cy).Bounds;
    SetWindowPos(Handle(), nullptr, 0, 0, bounds.Width() + kInkMargin, bounds.Height(),
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TvxLinkLabel::CursorChanged() {
    // The new shape shows at once when the mouse is over the label.
    POINT p;
    if (Handle() && GetCursorPos(&p) && WindowFromPoint(p) == Handle()) ApplyCursor();
}

void TvxLinkLabel::EnabledChanged() {
    if (Handle()) EnableWindow(Handle(), Enabled());
}

void TvxLinkLabel::CaptionChanged() {
    if (Handle()) SetWindowTextA(Handle(), Caption().c_str());
}

void TvxLinkLabel::ApplyCursor() {
    ::SetCursor(LoadCursor(nullptr, Cursor() == crHandPoint ? IDC_HAND : IDC_ARROW));
}

UINT TvxLinkLabel::DrawFlags() const {
    UINT flags = DT_LEFT | DT_TOP | DT_EXPANDTABS | DT_NOCLIP;
    if (!showAccelChar_) flags |= DT_NOPREFIX;
    return flags;
}

HFONT TvxLinkLabel::CurrentFont() {
    const TFont& font = TextFont();
    const int pixels = pixelsPerInch_ > 0 ? FontPixels(font, pixelsPerInch_) : 0;
    return &font == &LinkFont() ? linkFontHandle_.Get(font, pixels) : fontHandle_.Get(font, pixels);
}

SIZE TvxLinkLabel::MeasureText(HDC dc) {
    // An empty caption (or a lone "&" shown as an accelerator) still measures
    // one blank, so an auto-sized label keeps its line height.
    std::string text = Caption();
    if (text.empty() || (showAccelChar_ && text == "&")) text += ' ';
    ui::ScopedSelectObject font(dc, CurrentFont());
    RECT r{0, 0, 0, 0};
    DrawTextA(dc, text.c_str(), int(text.size()), &r, DrawFlags() | DT_CALCRECT);
    return SIZE{r.right - r.left, r.bottom - r.top};
}

void TvxLinkLabel::Paint(HDC dc) {
    RECT client;
    GetClientRect(Handle(), &client);
    FillParentBackground(Handle(), dc, client);
    SetBkMode(dc, TRANSPARENT);

    const SIZE size = MeasureText(dc);
    const TLinkTextLayout layout = Layout(size.cx, size.cy);
    ui::ScopedSelectObject font(dc, CurrentFont());
    const std::string& text = Caption();
    auto draw = [&](const TLabelRect& r, COLORREF colour) {
        RECT rc{r.Left, r.Top, r.Right, r.Bottom};
        SetTextColor(dc, colour);
        DrawTextA(dc, text.c_str(), int(text.size()), &rc, DrawFlags());
    };
    if (Enabled()) {
        if (ShadowSize() > 0) draw(layout.Shadow, ui::ToColorRef(ShadowColor()));
        draw(layout.Text, ui::ToColorRef(TextFont().Color));
    } else {
        // The engraved look of a disabled label.
        const TLabelRect& t = layout.Text;
        draw({t.Left + 1, t.Top + 1, t.Right + 1, t.Bottom + 1}, ui::ToColorRef(clBtnHighlight));
        draw(t, ui::ToColorRef(clBtnShadow));
    }
}

LRESULT TvxLinkLabel::Message(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (PaintMessage(Handle(), msg, wParam, [this](HDC dc) { Paint(dc); })) return 0;
    switch (msg) {
    case WM_ERASEBKGND:
        return 1; // Paint fills the background
    case WM_MOUSEMOVE:
        if (!tracking_) {
            TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, Handle(), 0};
            tracking_ = TrackMouseEvent(&track) != FALSE;
            MouseEnter();
        }
        return 0;
    case WM_MOUSELEAVE:
        tracking_ = false;
        MouseLeave();
        return 0;
    case WM_SETCURSOR:
        if (LOWORD(lParam) == HTCLIENT) {
            ApplyCursor();
            return TRUE;
        }
        break;
    case WM_LBUTTONDOWN:
        pressed_ = true;
        SetCapture(Handle());
        return 0;
    case WM_LBUTTONUP:
        if (pressed_) {
            pressed_ = false;
            ReleaseCapture();
            RECT client;
            GetClientRect(Handle(), &client);
            const POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
            if (PtInRect(&client, p)) Click();
        }
        return 0;
    case WM_CAPTURECHANGED:
        pressed_ = false;
        return 0;
    case WM_ENABLE:
        Invalidate();
        return 0;
    }
    return window_.Default(msg, wParam, lParam);
}

} // namespace vx
