#include "sections/FindBar_win.h"

#include "ui/Dpi_win.h"
#include "ui/Scoped_win.h"

#include <algorithm>

namespace vx {

namespace {

constexpr int kRow1 = 4, kTextLeft = 40, kTextWidth = 260, kButtonWidth = 64;

HFONT GuiFont() {
    return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

HWND Static(HWND parent, const char* text, int left, int top, int width, int id) {
    HWND h =
        CreateWindowExA(0, "Static", text, WS_CHILD | WS_VISIBLE | SS_LEFTNOWORDWRAP | SS_NOPREFIX,
                        left, top, width, 16, parent, reinterpret_cast<HMENU>(INT_PTR(id)),
                        GetModuleHandleA(nullptr), nullptr);
    if (h) SendMessageA(h, WM_SETFONT, WPARAM(GuiFont()), FALSE);
    return h;
}

} // namespace

// --- TBarButton ---

bool TBarButton::Create(ui::TWindow* parent, const char* caption, DWORD style, int left, int top,
                        int width) {
    if (!CreateControl("Button", parent, WS_CHILD | WS_VISIBLE | WS_TABSTOP | style, 0, caption))
        return false;
    SetFont(GuiFont());
    SetBounds(left, top, width, style == BS_PUSHBUTTON ? 21 : 18);
    return true;
}

bool TBarButton::Checked() const {
    return SendMessageA(Handle(), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void TBarButton::SetChecked(bool checked) {
    SendMessageA(Handle(), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

LRESULT TBarButton::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (keys_.Take(OnKey, msg, wParam)) return 0;
    if (msg == WM_GETDLGCODE) return DLGC_BUTTON | DLGC_WANTALLKEYS;
    return TWindow::WndProc(msg, wParam, lParam);
}

bool TBarButton::OnCommand(WORD code, LRESULT& result) {
    if (code != BN_CLICKED) return false;
    if (OnClick) OnClick(*this);
    result = 0;
    return true;
}

// --- TFindBar ---

bool TFindBar::Create(ui::TWindow* parent) {
    ui::TPanelStyle s;
    s.Align = ui::TAlign::alTop;
    s.Height = kHeight;
    if (!TPanel::Create(parent, s)) return false;
    label_ = Static(Handle(), "Find:", 8, kRow1 + 3, 30, 0);
    TEditBoxStyle text;
    text.Left = kTextLeft;
    text.Top = kRow1;
    text.Width = kTextWidth;
    text.TabStop = true;
    text.MaxLength = TTextMatcher::kMaxPattern;
    if (!Edit.Create(this, text)) return false;
    Edit.SetFont(GuiFont());
    Edit.Hint = "The text to find; Enter or F3 goes to the next match, Shift+Enter or Shift+F3 to "
                "the previous one";
    int x = kTextLeft + kTextWidth + 4;
    bool ok = btn_Previous.Create(this, "Previous", BS_PUSHBUTTON, x, kRow1, 64) &&
              btn_Next.Create(this, "Next", BS_PUSHBUTTON, x + 68, kRow1, 64) &&
              btn_CloseFind.Create(this, "Close", BS_PUSHBUTTON, 0, kRow1, 50);
    status_hwnd_ = Static(Handle(), "", x + 140, kRow1 + 3, 200, kStatusId);
    struct Check {
        TBarButton& Box;
        const char* Caption;
        int Left, Width;
    };
    const Check checks[] = {
        {chk_MatchCase, "Match case", kTextLeft, 82},
        {chk_WholeWord, "Whole word", kTextLeft + 86, 82},
        {chk_RegularExpression, "Regular expression", kTextLeft + 172, 116},
        {chk_InMessage, "Message", kTextLeft + 320, 68},
        {chk_InSource, "Unit and procedure", kTextLeft + 392, 116},
        {chk_InData, "Data", kTextLeft + 512, 52},
    };
    for (const Check& c : checks) {
        ok = ok && c.Box.Create(this, c.Caption, BS_AUTOCHECKBOX, c.Left, 0, c.Width);
        c.Box.OnClick = [this](TBarButton&) {
            if (OnChange) OnChange();
        };
    }
    inLabel_ = Static(Handle(), "In:", 0, 0, 20, 0);
    if (!ok || !status_hwnd_) return false;
    chk_InMessage.SetChecked(true);
    btn_Previous.OnClick = [this](TBarButton&) {
        if (OnStep) OnStep(false);
    };
    btn_Next.OnClick = [this](TBarButton&) {
        if (OnStep) OnStep(true);
    };
    btn_CloseFind.OnClick = [this](TBarButton&) {
        if (OnClose) OnClose();
    };
    Edit.OnKey = [this](WORD key, unsigned m) { return OnKey && OnKey(Edit.Handle(), key, m); };
    for (TBarButton* b : {&chk_MatchCase, &chk_WholeWord, &chk_RegularExpression, &chk_InMessage,
                          &chk_InSource, &chk_InData, &btn_Previous, &btn_Next, &btn_CloseFind})
        b->OnKey = [this, b](WORD key, unsigned m) { return OnKey && OnKey(b->Handle(), key, m); };
    OnResize = [this](ui::TWindow&) { Arrange(); };
    Arrange();
    return true;
}

// The text field takes what the buttons leave of the first line, the count
// has the second, and the options flow over as many lines as the width needs:
// a narrow list keeps every part readable.
void TFindBar::Arrange() {
    RECT r;
    GetClientRect(Handle(), &r);
    // The measures are of the 96 layout, at the bar's pixels per inch.
    const UINT dpi = ui::WindowDpi(Handle());
    const auto S = [dpi](int v) { return ui::Scale(v, dpi); };
    const int left = S(kTextLeft), row1 = S(kRow1), buttonWidth = S(kButtonWidth);
    const int width = std::max<int>(r.right, S(200));
    const int buttons = 3 * (buttonWidth + S(4));
    int text = std::clamp(width - left - buttons - S(8), S(80), S(kTextWidth));
    Edit.SetBounds(left, row1, text, S(21));
    int x = left + text + S(4);
    for (TBarButton* b : {&btn_Previous, &btn_Next, &btn_CloseFind}) {
        b->SetBounds(x, row1, buttonWidth, S(21));
        x += buttonWidth + S(4);
    }
    int y = row1 + S(25);
    SetWindowPos(status_hwnd_, nullptr, left, y, std::max(S(40), width - left - S(8)), S(16),
                 SWP_NOZORDER | SWP_NOACTIVATE);
    y += S(20);
    x = left;
    ui::ScopedGetDC dc(Handle());
    ui::ScopedSelectObject font(dc, GuiFont());
    auto place = [&](HWND h, int w, int dy = 0) {
        if (x > left && x + w > width - S(4)) {
            x = left;
            y += S(20);
        }
        SetWindowPos(h, nullptr, x, y + dy, w, S(18) - dy, SWP_NOZORDER | SWP_NOACTIVATE);
        x += w + S(8);
    };
    auto measure = [&](HWND h) {
        char caption[64] = {};
        GetWindowTextA(h, caption, sizeof caption);
        SIZE size{};
        GetTextExtentPoint32A(dc, caption, lstrlenA(caption), &size);
        return int(size.cx);
    };
    const int box = S(22); // a check box is its caption and the box before it
    for (TBarButton* b : {&chk_MatchCase, &chk_WholeWord, &chk_RegularExpression})
        place(b->Handle(), measure(b->Handle()) + box);
    place(inLabel_, measure(inLabel_) + S(2), S(2));
    x -= S(4);
    for (TBarButton* b : {&chk_InMessage, &chk_InSource, &chk_InData})
        place(b->Handle(), measure(b->Handle()) + box);
    int height = y + S(18) + S(4);
    if (height != Height()) {
        SetHeight(height);
        if (Parent()) Parent()->Realign();
    }
}

TFindOptions TFindBar::Options() const {
    TFindOptions o;
    o.MatchCase = chk_MatchCase.Checked();
    o.WholeWord = chk_WholeWord.Checked();
    o.RegularExpression = chk_RegularExpression.Checked();
    o.Where = (chk_InMessage.Checked() ? fwMessage : 0u) |
              (chk_InSource.Checked() ? fwSource : 0u) | (chk_InData.Checked() ? fwData : 0u);
    return o;
}

void TFindBar::SetStatus(const std::string& text) {
    if (text == status_) return;
    status_ = text;
    SetWindowTextA(status_hwnd_, text.c_str());
}

void TFindBar::FocusText() {
    SetFocus(Edit.Handle());
    SendMessageA(Edit.Handle(), EM_SETSEL, 0, -1);
}

std::vector<HWND> TFindBar::Parts() const {
    return {Edit.Handle(),
            btn_Previous.Handle(),
            btn_Next.Handle(),
            btn_CloseFind.Handle(),
            chk_MatchCase.Handle(),
            chk_WholeWord.Handle(),
            chk_RegularExpression.Handle(),
            chk_InMessage.Handle(),
            chk_InSource.Handle(),
            chk_InData.Handle()};
}

LRESULT TFindBar::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_COMMAND && reinterpret_cast<HWND>(lParam) == Edit.Handle() &&
        HIWORD(wParam) == EN_CHANGE) {
        if (OnChange) OnChange();
        return 0;
    }
    return TPanel::WndProc(msg, wParam, lParam);
}

} // namespace vx
