#include "ui/CatchSite_win.h"

#include "platform/TypeName.h"
#include "ui/Window_win.h"

#include <commctrl.h>

#include <cstdio>

namespace vx::ui {

namespace {

struct TNamedMessage {
    UINT Msg;
    const char* Name;
};

// clang-format off
#define VX_MSG(m) {m, #m}
constexpr TNamedMessage kMessages[] = {
    VX_MSG(WM_CREATE),        VX_MSG(WM_DESTROY),        VX_MSG(WM_MOVE),
    VX_MSG(WM_SIZE),          VX_MSG(WM_ACTIVATE),       VX_MSG(WM_SETFOCUS),
    VX_MSG(WM_KILLFOCUS),     VX_MSG(WM_ENABLE),         VX_MSG(WM_SETTEXT),
    VX_MSG(WM_GETTEXT),       VX_MSG(WM_PAINT),          VX_MSG(WM_CLOSE),
    VX_MSG(WM_QUERYENDSESSION), VX_MSG(WM_ENDSESSION),   VX_MSG(WM_ERASEBKGND),
    VX_MSG(WM_SYSCOLORCHANGE), VX_MSG(WM_SHOWWINDOW),    VX_MSG(WM_ACTIVATEAPP),
    VX_MSG(WM_SETCURSOR),     VX_MSG(WM_MOUSEACTIVATE),  VX_MSG(WM_GETMINMAXINFO),
    VX_MSG(WM_DRAWITEM),      VX_MSG(WM_MEASUREITEM),    VX_MSG(WM_WINDOWPOSCHANGING),
    VX_MSG(WM_WINDOWPOSCHANGED), VX_MSG(WM_COPYDATA),    VX_MSG(WM_NOTIFY),
    VX_MSG(WM_CONTEXTMENU),   VX_MSG(WM_DISPLAYCHANGE),  VX_MSG(WM_NCCREATE),
    VX_MSG(WM_NCDESTROY),     VX_MSG(WM_NCPAINT),        VX_MSG(WM_NCACTIVATE),
    VX_MSG(WM_GETDLGCODE),    VX_MSG(WM_KEYDOWN),        VX_MSG(WM_KEYUP),
    VX_MSG(WM_CHAR),          VX_MSG(WM_SYSKEYDOWN),     VX_MSG(WM_SYSKEYUP),
    VX_MSG(WM_SYSCHAR),       VX_MSG(WM_INITDIALOG),     VX_MSG(WM_COMMAND),
    VX_MSG(WM_SYSCOMMAND),    VX_MSG(WM_TIMER),          VX_MSG(WM_HSCROLL),
    VX_MSG(WM_VSCROLL),       VX_MSG(WM_INITMENUPOPUP),  VX_MSG(WM_MENUSELECT),
    VX_MSG(WM_CTLCOLOREDIT),  VX_MSG(WM_CTLCOLORLISTBOX), VX_MSG(WM_CTLCOLORBTN),
    VX_MSG(WM_CTLCOLORDLG),   VX_MSG(WM_CTLCOLORSCROLLBAR), VX_MSG(WM_CTLCOLORSTATIC),
    VX_MSG(WM_MOUSEMOVE),     VX_MSG(WM_LBUTTONDOWN),    VX_MSG(WM_LBUTTONUP),
    VX_MSG(WM_LBUTTONDBLCLK), VX_MSG(WM_RBUTTONDOWN),    VX_MSG(WM_RBUTTONUP),
    VX_MSG(WM_RBUTTONDBLCLK), VX_MSG(WM_MOUSEWHEEL),     VX_MSG(WM_CAPTURECHANGED),
    VX_MSG(WM_DROPFILES),     VX_MSG(WM_MOUSELEAVE),     VX_MSG(WM_PRINTCLIENT),
};
#undef VX_MSG
// clang-format on

// "vx::ui::TPanel" reads as "TPanel" in a log line.
std::string ShortName(const std::type_info& type) {
    std::string name = TypeName(type);
    if (name.find('<') == std::string::npos) {
        size_t colon = name.rfind("::");
        if (colon != std::string::npos) name.erase(0, colon + 2);
    }
    return name;
}

HWND NotifyingChild(UINT msg, LPARAM lParam) {
    if (msg == WM_COMMAND || (msg >= WM_CTLCOLORMSGBOX && msg <= WM_CTLCOLORSTATIC))
        return reinterpret_cast<HWND>(lParam);
    if (msg == WM_NOTIFY && lParam) return reinterpret_cast<const NMHDR*>(lParam)->hwndFrom;
    return nullptr;
}

} // namespace

std::string MessageName(UINT msg) {
    for (const TNamedMessage& m : kMessages)
        if (m.Msg == msg) return m.Name;
    char text[64];
    // Registered messages share the atom table of clipboard formats.
    if (msg >= 0xC000 && msg <= 0xFFFF) {
        int n = GetClipboardFormatNameA(msg, text, int(sizeof text));
        if (n > 0) return std::string(text, size_t(n));
    }
    if (msg >= WM_APP && msg < 0xC000)
        std::snprintf(text, sizeof text, "WM_APP+%u", msg - WM_APP);
    else if (msg >= WM_USER && msg < WM_APP)
        std::snprintf(text, sizeof text, "WM_USER+%u", msg - WM_USER);
    else
        std::snprintf(text, sizeof text, "message 0x%04X", msg);
    return text;
}

std::string CatchSite(const std::type_info& window, UINT msg, WPARAM, LPARAM lParam) {
    std::string site = ShortName(window) + " " + MessageName(msg);
    if (HWND from = NotifyingChild(msg, lParam))
        if (TWindow* child = TWindow::FromHandle(from))
            site += " from " + ShortName(typeid(*child));
    return site;
}

} // namespace vx::ui
