#include "form_Viewer_win.h"

#include <commctrl.h>

namespace vx {

namespace {
const char* const kViewerClass = "Tfrm_Viewer";
constexpr int kCloseId = 1;
constexpr int kPanel2Height = 41;
constexpr int kButtonWidth = 75, kButtonHeight = 25, kButtonTop = 8;
}  // namespace

std::string ToEditLineBreaks(const std::string& text) {
    std::string out;
    out.reserve(text.size() + text.size() / 16);
    for (size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c == '\n' && (i == 0 || text[i - 1] != '\r')) out += '\r';
        out += c;
        if (c == '\r' && (i + 1 == text.size() || text[i + 1] != '\n')) out += '\n';
    }
    return out;
}

Tfrm_Viewer::Tfrm_Viewer(HINSTANCE inst, HWND owner) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = WndProc;
    wc.hInstance = inst;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.hIcon = LoadIcon(inst, MAKEINTRESOURCE(1));
    wc.lpszClassName = kViewerClass;
    RegisterClassA(&wc);
    hwnd_ = CreateWindowExA(0, kViewerClass, "vxDebugger Text Viewer", WS_OVERLAPPEDWINDOW, 350,
                            250, 648, 596, owner, nullptr, inst, this);
    NONCLIENTMETRICSA ncm{};
    ncm.cbSize = sizeof ncm;
    SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof ncm, &ncm, 0);
    uiFont_ = CreateFontIndirectA(&ncm.lfMessageFont);
    memoFont_ = CreateFontA(-13, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                            CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, FIXED_PITCH | FF_MODERN,
                            "Courier New");
    memo_ = CreateWindowExA(WS_EX_CLIENTEDGE, "EDIT", "",
                            WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL | ES_MULTILINE |
                                ES_READONLY | ES_AUTOVSCROLL | ES_AUTOHSCROLL,
                            0, 0, 10, 10, hwnd_, nullptr, inst, nullptr);
    SendMessageA(memo_, WM_SETFONT, reinterpret_cast<WPARAM>(memoFont_), TRUE);
    // Data blocks can be large; lift the edit's default limit.
    SendMessageA(memo_, EM_SETLIMITTEXT, 0x7FFFFFFE, 0);
    close_ = CreateWindowExA(0, "BUTTON", "&Close", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON,
                             0, 0, kButtonWidth, kButtonHeight, hwnd_,
                             reinterpret_cast<HMENU>(kCloseId), inst, nullptr);
    SendMessageA(close_, WM_SETFONT, reinterpret_cast<WPARAM>(uiFont_), TRUE);
    tip_ = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP, 0, 0,
                           0, 0, hwnd_, nullptr, inst, nullptr);
    TOOLINFOA ti{};
    ti.cbSize = sizeof ti;
    ti.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    ti.hwnd = hwnd_;
    ti.uId = reinterpret_cast<UINT_PTR>(memo_);
    ti.lpszText = const_cast<char*>("Click double to zoom...");
    SendMessageA(tip_, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&ti));
    // The program's message loop has no dialog manager: the children pass
    // their dialog keys here.
    SetWindowSubclass(memo_, &Tfrm_Viewer::ChildKeys, 1, reinterpret_cast<DWORD_PTR>(this));
    SetWindowSubclass(close_, &Tfrm_Viewer::ChildKeys, 1, reinterpret_cast<DWORD_PTR>(this));
    focus_ = memo_;
    Layout();
}

bool Tfrm_Viewer::Key(HWND from, WPARAM key) {
    switch (key) {
    case VK_ESCAPE:
        btn_CloseClick();
        return true;
    case VK_TAB:
        if (GetKeyState(VK_CONTROL) < 0 || GetKeyState(VK_MENU) < 0) return false;
        SetFocus(from == memo_ ? close_ : memo_);
        return true;
    case VK_RETURN:
        if (from != close_) return false;
        btn_CloseClick();
        return true;
    }
    return false;
}

LRESULT CALLBACK Tfrm_Viewer::ChildKeys(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam,
                                        UINT_PTR, DWORD_PTR data) {
    auto* self = reinterpret_cast<Tfrm_Viewer*>(data);
    switch (msg) {
    case WM_KEYDOWN:
        if (self->Key(hwnd, wParam)) return 0;
        break;
    case WM_CHAR:
        // The characters of the keys taken above.
        if (wParam == '\t' || wParam == 27 || (wParam == '\r' && hwnd == self->close_)) return 0;
        break;
    case WM_SETFOCUS:
        self->focus_ = hwnd;
        break;
    case WM_NCDESTROY:
        RemoveWindowSubclass(hwnd, &Tfrm_Viewer::ChildKeys, 1);
        break;
    }
    return DefSubclassProc(hwnd, msg, wParam, lParam);
}

Tfrm_Viewer::~Tfrm_Viewer() {
    if (hwnd_) DestroyWindow(hwnd_);
    if (tip_) DestroyWindow(tip_);
    DeleteObject(memoFont_);
    DeleteObject(uiFont_);
}

void Tfrm_Viewer::SetText(const std::string& text) {
    if (text == text_) return;
    text_ = text;
    SetWindowTextA(memo_, ToEditLineBreaks(text).c_str());
}

void Tfrm_Viewer::Show() {
    ShowWindow(hwnd_, IsIconic(hwnd_) ? SW_RESTORE : SW_SHOW);
    SetForegroundWindow(hwnd_);
    BringWindowToTop(hwnd_);
    // The text takes the keys, so Esc closes at once.
    SetFocus(focus_ ? focus_ : memo_);
}

void Tfrm_Viewer::btn_CloseClick() { ShowWindow(hwnd_, SW_HIDE); }

void Tfrm_Viewer::Panel2Resize() {
    RECT rc;
    GetClientRect(hwnd_, &rc);
    int width = rc.right - rc.left;
    MoveWindow(close_, (width - kButtonWidth) / 2, rc.bottom - kPanel2Height + kButtonTop,
               kButtonWidth, kButtonHeight, TRUE);
}

void Tfrm_Viewer::Layout() {
    RECT rc;
    GetClientRect(hwnd_, &rc);
    int memoHeight = rc.bottom - kPanel2Height;
    MoveWindow(memo_, 0, 0, rc.right, memoHeight > 0 ? memoHeight : 0, TRUE);
    Panel2Resize();
}

LRESULT CALLBACK Tfrm_Viewer::WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_NCCREATE) {
        auto* cs = reinterpret_cast<CREATESTRUCTA*>(lParam);
        static_cast<Tfrm_Viewer*>(cs->lpCreateParams)->hwnd_ = hwnd;
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(cs->lpCreateParams));
    }
    auto* self = reinterpret_cast<Tfrm_Viewer*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (self && self->hwnd_ == hwnd) return self->Handle(msg, wParam, lParam);
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

LRESULT Tfrm_Viewer::Handle(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_SIZE:
        if (memo_) Layout();
        return 0;
    case WM_COMMAND:
        if (LOWORD(wParam) == kCloseId || LOWORD(wParam) == IDCANCEL) btn_CloseClick();
        return 0;
    case WM_CLOSE:
        // Closing only hides: the window lives until the program ends.
        btn_CloseClick();
        return 0;
    case WM_SETFOCUS:
        SetFocus(focus_ ? focus_ : memo_);
        return 0;
    case WM_KEYDOWN:
        if (wParam == VK_ESCAPE) {
            btn_CloseClick();
            return 0;
        }
        break;
    case WM_CTLCOLORSTATIC:
        // A read-only edit asks here; keep it on the window colour like a text view.
        if (reinterpret_cast<HWND>(lParam) == memo_) {
            SetBkColor(reinterpret_cast<HDC>(wParam), GetSysColor(COLOR_WINDOW));
            return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW));
        }
        break;
    }
    return DefWindowProcA(hwnd_, msg, wParam, lParam);
}

}  // namespace vx
