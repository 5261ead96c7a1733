#include "ui/ToolBar_win.h"

#include <commctrl.h>

#include <algorithm>
#include <cctype>

namespace vx::ui {
namespace {
constexpr int kFirstButtonId = 100;

// What the keys did in the menu that is open (one at a time, on the UI thread).
struct TMenuKeys {
    int Move = 0; // -1 Left, +1 Right: on to the next menu
    bool Escaped = false;
} g_menuKeys;

} // namespace

bool TMenuToolBar::Create(TWindow* parent) {
    if (!CreateControl(TOOLBARCLASSNAMEA, parent,
                       WS_CHILD | WS_VISIBLE | TBSTYLE_FLAT | TBSTYLE_LIST | CCS_NODIVIDER |
                           CCS_NORESIZE | CCS_NOPARENTALIGN))
        return false;
    SendMessageA(Handle(), TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    SendMessageA(Handle(), TB_SETBITMAPSIZE, 0, MAKELPARAM(0, 0));
    SendMessageA(Handle(), TB_SETEXTENDEDSTYLE, 0, TBSTYLE_EX_DRAWDDARROWS);
    return true;
}

void TMenuToolBar::AddMenu(const std::string& caption, TPopupMenu& menu) {
    menus_.push_back({caption, &menu});
    TBBUTTON b{};
    b.iBitmap = I_IMAGENONE;
    b.idCommand = kFirstButtonId + int(menus_.size()) - 1;
    b.fsState = TBSTATE_ENABLED;
    b.fsStyle = BTNS_AUTOSIZE | BTNS_SHOWTEXT | BTNS_BUTTON;
    std::string text = caption + '\0'; // the string list ends with two NULs
    b.iString = SendMessageA(Handle(), TB_ADDSTRINGA, 0, reinterpret_cast<LPARAM>(text.c_str()));
    SendMessageA(Handle(), TB_ADDBUTTONSA, 1, reinterpret_cast<LPARAM>(&b));
    SendMessageA(Handle(), TB_AUTOSIZE, 0, 0);
}

std::string TMenuToolBar::ButtonCaption(int index) const {
    if (index < 0 || index >= ButtonCount()) return {};
    char buf[128] = {};
    SendMessageA(Handle(), TB_GETBUTTONTEXTA, kFirstButtonId + index,
                 reinterpret_cast<LPARAM>(buf));
    return buf;
}

POINT TMenuToolBar::MenuPoint(int index) const {
    RECT r{};
    SendMessageA(Handle(), TB_GETRECT, kFirstButtonId + index, reinterpret_cast<LPARAM>(&r));
    POINT pt{r.left, r.bottom};
    ClientToScreen(Handle(), &pt);
    return pt;
}

void TMenuToolBar::DropDown(int index) {
    Open(index, mode_);
}

void TMenuToolBar::DropDownByKey(int index) {
    Open(index, true);
}

// Left and Right in an open menu go on to the neighbouring menu, as in a menu
// bar; the menu's own loop is told to end.
LRESULT CALLBACK TMenuToolBar::MenuFilter(int code, WPARAM wParam, LPARAM lParam) {
    if (code == MSGF_MENU) {
        const MSG* m = reinterpret_cast<const MSG*>(lParam);
        if (m && m->message == WM_KEYDOWN) {
            if (m->wParam == VK_LEFT || m->wParam == VK_RIGHT) {
                g_menuKeys.Move = m->wParam == VK_LEFT ? -1 : 1;
                EndMenu();
                return 1;
            }
            if (m->wParam == VK_ESCAPE) g_menuKeys.Escaped = true;
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

void TMenuToolBar::Open(int index, bool keyboard) {
    const int n = ButtonCount();
    if (index < 0 || index >= n) return;
    if (keyboard && !mode_) EnterMenuMode(index);
    HWND owner = GetAncestor(Handle(), GA_ROOT);
    for (;;) {
        const int id = kFirstButtonId + index;
        SetHot(index);
        SendMessageA(Handle(), TB_PRESSBUTTON, id, TRUE);
        g_menuKeys = {};
        HHOOK hook = SetWindowsHookExA(WH_MSGFILTER, &TMenuToolBar::MenuFilter, nullptr,
                                       GetCurrentThreadId());
        opening_ = true;
        int command = menus_[index].Menu->Track(owner, MenuPoint(index));
        opening_ = false;
        if (hook) UnhookWindowsHookEx(hook);
        SendMessageA(Handle(), TB_PRESSBUTTON, id, FALSE);
        if (g_menuKeys.Move) {
            index = (index + g_menuKeys.Move + n) % n;
            keyboard = true;
            if (!mode_) EnterMenuMode(index);
            continue;
        }
        if (!command && keyboard && g_menuKeys.Escaped) {
            SetHot(index); // Esc steps back to the menu bar
            return;
        }
        LeaveMenuMode();
        if (command) menus_[index].Menu->Click(command);
        return;
    }
}

void TMenuToolBar::SetHot(int index) {
    SendMessageA(Handle(), TB_SETHOTITEM, WPARAM(index), 0);
}

int TMenuToolBar::HotButton() const {
    return int(SendMessageA(Handle(), TB_GETHOTITEM, 0, 0));
}

void TMenuToolBar::ToggleMenuMode() {
    if (mode_)
        LeaveMenuMode();
    else
        EnterMenuMode();
}

void TMenuToolBar::EnterMenuMode(int hot) {
    if (ButtonCount() == 0) return;
    if (!mode_) {
        HWND focus = GetFocus();
        restore_ = focus != Handle() ? focus : nullptr;
        mode_ = true;
        SetFocus(Handle());
    }
    SetHot(hot);
}

void TMenuToolBar::LeaveMenuMode() {
    if (!mode_) return;
    mode_ = false;
    SetHot(-1);
    HWND back = restore_;
    restore_ = nullptr;
    if (GetFocus() == Handle()) {
        HWND root = GetAncestor(Handle(), GA_ROOT);
        SetFocus(back && IsWindow(back) && IsWindowVisible(back) ? back : root);
    }
}

bool TMenuToolBar::MenuModeKey(UINT msg, WPARAM wParam) {
    const int n = ButtonCount();
    const int hot = std::max(0, HotButton());
    switch (msg) {
    case WM_KEYDOWN:
        switch (wParam) {
        case VK_LEFT:
            SetHot((hot + n - 1) % n);
            return true;
        case VK_RIGHT:
            SetHot((hot + 1) % n);
            return true;
        case VK_HOME:
            SetHot(0);
            return true;
        case VK_END:
            SetHot(n - 1);
            return true;
        case VK_DOWN:
        case VK_UP:
        case VK_RETURN:
        case VK_SPACE:
            Open(hot, true);
            return true;
        case VK_ESCAPE:
            LeaveMenuMode();
            return true;
        }
        return false;
    case WM_CHAR:
    case WM_SYSCHAR: {
        int index = FindAccelerator(char(wParam));
        if (index >= 0) Open(index, true);
        return true; // no beep and no typing into the bar
    }
    }
    return false;
}

int TMenuToolBar::FindAccelerator(char key) const {
    key = char(std::toupper(static_cast<unsigned char>(key)));
    for (int i = 0; i < ButtonCount(); ++i) {
        const std::string& c = menus_[i].Caption;
        size_t amp = c.find('&');
        if (amp != std::string::npos && amp + 1 < c.size() &&
            std::toupper(static_cast<unsigned char>(c[amp + 1])) == key)
            return i;
    }
    return -1;
}

SIZE TMenuToolBar::IdealSize() const {
    SIZE s{0, 0};
    SendMessageA(Handle(), TB_GETMAXSIZE, 0, reinterpret_cast<LPARAM>(&s));
    return s;
}

LRESULT TMenuToolBar::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (mode_ && MenuModeKey(msg, wParam)) return 0;
    if (msg == WM_KILLFOCUS && mode_ && !opening_) {
        // The user went elsewhere: out of the menu bar, the focus stays where it went.
        mode_ = false;
        restore_ = nullptr;
        SetHot(-1);
    }
    if (msg == WM_GETDLGCODE) return DLGC_WANTALLKEYS;
    if (msg == WM_LBUTTONDOWN) {
        // Menus open on the press, like a menu bar's.
        POINT pt{short(LOWORD(lParam)), short(HIWORD(lParam))};
        int hit = int(SendMessageA(Handle(), TB_HITTEST, 0, reinterpret_cast<LPARAM>(&pt)));
        if (hit >= 0 && hit < ButtonCount()) {
            DropDown(hit);
            return 0;
        }
    }
    return TWindow::WndProc(msg, wParam, lParam);
}

} // namespace vx::ui
