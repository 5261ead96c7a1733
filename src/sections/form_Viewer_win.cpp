#include "form_Viewer_win.h"

#include "ui/Dpi_win.h"

#include <commctrl.h>

namespace vx {

namespace {
const char* const kViewerClass = "Tfrm_Viewer";
constexpr int kCloseId = 1;
constexpr int kPanel2Height = 41;
constexpr int kButtonWidth = 75, kButtonHeight = 25, kButtonTop = 8;
} // namespace

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
    ui::TCreateParams params;
    params.Class.Name = kViewerClass;
    params.Class.Style = 0;
    params.Class.Background = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    params.Class.Icon = LoadIcon(inst, MAKEINTRESOURCE(1));
    params.Style = WS_OVERLAPPEDWINDOW;
    params.Text = "vxDebugger Text Viewer";
    // Measures of the 96 layout at the owner's pixels per inch.
    dpi_ = ui::WindowDpi(owner);
    params.Left = S(350);
    params.Top = S(250);
    params.Width = S(648);
    params.Height = S(596);
    params.ParentHandle = owner;
    window_.Handler = [this](UINT msg, WPARAM wParam, LPARAM lParam) {
        return Handle(msg, wParam, lParam);
    };
    window_.Create(params, typeid(*this));
    uiFont_.Reset(ui::CreateMessageFont(dpi_));
    memoFont_.Reset(CreateFontA(-S(13), 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET,
                                OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                FIXED_PITCH | FF_MODERN, "Courier New"));
    // The program's message loop has no dialog manager: the children pass
    // their dialog keys here.
    memo_.Handler = [this](UINT msg, WPARAM wParam, LPARAM lParam) {
        return ChildKeys(memo_, msg, wParam, lParam);
    };
    close_.Handler = [this](UINT msg, WPARAM wParam, LPARAM lParam) {
        return ChildKeys(close_, msg, wParam, lParam);
    };
    ui::TCreateParams memo;
    memo.ExStyle = WS_EX_CLIENTEDGE;
    memo.Style = WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL | ES_MULTILINE | ES_READONLY |
                 ES_AUTOVSCROLL | ES_AUTOHSCROLL;
    memo.Width = 10;
    memo.Height = 10;
    memo.ParentHandle = Handle();
    memo_.CreateControl("EDIT", memo, typeid(*this));
    SendMessageA(Memo(), WM_SETFONT, reinterpret_cast<WPARAM>(memoFont_.Get()), TRUE);
    // Data blocks can be large; lift the edit's default limit.
    SendMessageA(Memo(), EM_SETLIMITTEXT, 0x7FFFFFFE, 0);
    ui::TCreateParams button;
    button.Style = WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON;
    button.Text = "&Close";
    button.Width = kButtonWidth;
    button.Height = kButtonHeight;
    button.ParentHandle = Handle();
    button.Id = kCloseId;
    close_.CreateControl("BUTTON", button, typeid(*this));
    SendMessageA(CloseButton(), WM_SETFONT, reinterpret_cast<WPARAM>(uiFont_.Get()), TRUE);
    tip_ = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP, 0, 0,
                           0, 0, Handle(), nullptr, inst, nullptr);
    TOOLINFOA ti{};
    ti.cbSize = sizeof ti;
    ti.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    ti.hwnd = Handle();
    ti.uId = reinterpret_cast<UINT_PTR>(Memo());
    ti.lpszText = const_cast<char*>("Click double to zoom...");
    SendMessageA(tip_, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&ti));
    focus_ = Memo();
    Layout();
}

bool Tfrm_Viewer::Key(HWND from, WPARAM key) {
    switch (key) {
    case VK_ESCAPE:
        btn_CloseClick();
        return true;
    case VK_TAB:
        if (GetKeyState(VK_CONTROL) < 0 || GetKeyState(VK_MENU) < 0) return false;
        SetFocus(from == Memo() ? CloseButton() : Memo());
        return true;
    case VK_RETURN:
        if (from != CloseButton()) return false;
        btn_CloseClick();
        return true;
    }
    return false;
}

LRESULT Tfrm_Viewer::ChildKeys(ui::TOwnedWindow& child, UINT msg, WPARAM wParam, LPARAM lParam) {
    HWND hwnd = child.Handle();
    switch (msg) {
    case WM_KEYDOWN:
        if (Key(hwnd, wParam)) return 0;
        break;
    case WM_CHAR:
        // The characters of the keys taken above.
        if (wParam == '\t' || wParam == 27 || (wParam == '\r' && hwnd == CloseButton())) return 0;
        break;
    case WM_SETFOCUS:
        focus_ = hwnd;
        break;
    }
    return child.Default(msg, wParam, lParam);
}

Tfrm_Viewer::~Tfrm_Viewer() {
    if (tip_) DestroyWindow(tip_);
    memo_.Destroy();
    close_.Destroy();
    window_.Destroy();
}

void Tfrm_Viewer::SetText(const std::string& text) {
    if (text == text_) return;
    text_ = text;
    SetWindowTextA(Memo(), ToEditLineBreaks(text).c_str());
}

void Tfrm_Viewer::Show() {
    ShowWindow(Handle(), IsIconic(Handle()) ? SW_RESTORE : SW_SHOW);
    SetForegroundWindow(Handle());
    BringWindowToTop(Handle());
    // The text takes the keys, so Esc closes at once.
    SetFocus(focus_ ? focus_ : Memo());
}

void Tfrm_Viewer::btn_CloseClick() {
    ShowWindow(Handle(), SW_HIDE);
}

void Tfrm_Viewer::Panel2Resize() {
    RECT rc;
    GetClientRect(Handle(), &rc);
    int width = rc.right - rc.left;
    MoveWindow(CloseButton(), (width - S(kButtonWidth)) / 2,
               rc.bottom - S(kPanel2Height) + S(kButtonTop), S(kButtonWidth), S(kButtonHeight),
               TRUE);
}

int Tfrm_Viewer::S(int px) const {
    return ui::Scale(px, dpi_);
}

void Tfrm_Viewer::Layout() {
    RECT rc;
    GetClientRect(Handle(), &rc);
    int memoHeight = rc.bottom - S(kPanel2Height);
    MoveWindow(Memo(), 0, 0, rc.right, memoHeight > 0 ? memoHeight : 0, TRUE);
    Panel2Resize();
}

LRESULT Tfrm_Viewer::Handle(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_SIZE:
        if (Memo()) Layout();
        return 0;
    case WM_COMMAND:
        if (LOWORD(wParam) == kCloseId || LOWORD(wParam) == IDCANCEL) btn_CloseClick();
        return 0;
    case WM_CLOSE:
        // Closing only hides: the window lives until the program ends.
        btn_CloseClick();
        return 0;
    case WM_SETFOCUS:
        SetFocus(focus_ ? focus_ : Memo());
        return 0;
    case WM_KEYDOWN:
        if (wParam == VK_ESCAPE) {
            btn_CloseClick();
            return 0;
        }
        break;
    case WM_CTLCOLORSTATIC:
        // A read-only edit asks here; keep it on the window colour like a text view.
        if (reinterpret_cast<HWND>(lParam) == Memo()) {
            SetBkColor(reinterpret_cast<HDC>(wParam), GetSysColor(COLOR_WINDOW));
            return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW));
        }
        break;
    }
    return window_.Default(msg, wParam, lParam);
}

} // namespace vx
