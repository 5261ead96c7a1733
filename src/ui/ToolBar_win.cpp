#include "ui/ToolBar_win.h"

#include <commctrl.h>

#include <cctype>

namespace vx::ui {
namespace {
constexpr int kFirstButtonId = 100;
}

bool TMenuToolBar::Create(TWindow* parent) {
    if (!CreateControl(TOOLBARCLASSNAMEA, parent,
                       WS_CHILD | WS_VISIBLE | TBSTYLE_FLAT | TBSTYLE_LIST |
                           CCS_NODIVIDER | CCS_NORESIZE | CCS_NOPARENTALIGN))
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
    std::string text = caption + '\0';  // the string list ends with two NULs
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
    if (index < 0 || index >= ButtonCount()) return;
    int id = kFirstButtonId + index;
    SendMessageA(Handle(), TB_PRESSBUTTON, id, TRUE);
    HWND owner = GetAncestor(Handle(), GA_ROOT);
    menus_[index].Menu->Popup(owner, MenuPoint(index));
    SendMessageA(Handle(), TB_PRESSBUTTON, id, FALSE);
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

}  // namespace vx::ui
