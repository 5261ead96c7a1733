#include "ui/Label_win.h"

namespace vx {

TLabel::~TLabel() = default;

bool TLabel::Create(ui::TWindow* parent, const TLabelStyle& style) {
    font_ = style.Font;
    color_ = style.Color;
    background_ = style.Background;
    if (!CreateControl("STATIC", parent, WS_CHILD | WS_VISIBLE | SS_LEFT | SS_NOPREFIX, 0,
                       style.Caption.c_str()))
        return false;
    if (font_) SetFont(font_);
    SetBounds(style.Left, style.Top, 0, 0);
    AutoSize();
    return true;
}

// A label whose window is not made yet (a section's parts come in steps) is
// left alone: null would mean the screen to GetDC and every window to
// InvalidateRect.
void TLabel::SetCaption(const std::string& caption) {
    if (!Handle() || caption == Text()) return;
    SetText(caption);
    AutoSize();
}

void TLabel::SetColor(TColor color) {
    if (color == color_) return;
    color_ = color;
    Invalidate();
}

void TLabel::AutoSize() {
    if (!Handle()) return;
    ui::ScopedGetDC dc(Handle());
    HFONT font = reinterpret_cast<HFONT>(SendMessageA(Handle(), WM_GETFONT, 0, 0));
    ui::ScopedSelectObject select(dc, font ? HGDIOBJ(font) : GetStockObject(DEFAULT_GUI_FONT));
    std::string text = Text();
    SIZE size{};
    GetTextExtentPoint32A(dc, text.c_str(), int(text.size()), &size);
    TEXTMETRICA tm{};
    GetTextMetricsA(dc, &tm);
    RECT r = Bounds();
    // The old picture is not reused: a label that grew would keep the
    // background of its former edge over the new text.
    SetWindowPos(Handle(), nullptr, r.left, r.top, size.cx, tm.tmHeight,
                 SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOCOPYBITS);
    InvalidateRect(Handle(), nullptr, TRUE);
}

bool TLabel::OnCtlColor(HDC dc, LRESULT& result) {
    SetTextColor(dc, ui::ToColorRef(color_));
    SetBkColor(dc, ui::ToColorRef(background_));
    SetBkMode(dc, OPAQUE);
    if (background_ & 0xFF000000u) {
        result = reinterpret_cast<LRESULT>(GetSysColorBrush(int(background_ & 0xFF)));
    } else {
        if (!brush_) brush_.Reset(CreateSolidBrush(ui::ToColorRef(background_)));
        result = reinterpret_cast<LRESULT>(brush_.Get());
    }
    return true;
}

} // namespace vx
