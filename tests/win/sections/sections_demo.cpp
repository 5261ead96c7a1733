// A section frame filled with rows of every kind and group, to look at:
// sections_demo.exe [seconds [menu]] stays open that long (default 30); with
// "menu" the filter drop-down opens after two seconds.
#include "FrameRig.h"

#include <cstdlib>
#include <cstring>

using namespace vx;
using namespace vxtest;

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR cmd, int) {
    TFrameRig rig(nullptr, 1000, 700);
    TSectionCore& c = rig.Core();
    c.ClientID = "1234 demo";
    c.Caption = "Main thread";
    c.ApplicationName = "C:\\Projects\\Demo\\Demo.exe";
    c.LevelText = "High";
    c.ShowSection();
    c.SetConnected(true);
    const char* texts[] = {"Application started", "Loading configuration from Demo.ini",
                           "Cache is almost full", "Access violation at address 0040A1F2"};
    int n = 0;
    for (uint8_t kind = dkString; kind <= dkUnknown; ++kind) {
        uint8_t group = uint8_t(n % 4);
        auto r =
            Rec(group, kind,
                kind == dkSeparator ? "" : std::string(texts[group]) + " (" + KindName(kind) + ")",
                "Data of row " + std::to_string(n) + "\r\nsecond line", 100 + n);
        r.Time += n / 86400.0;
        c.AddDebugInfo(r, false);
        ++n;
    }
    c.AddMessage("Server started on port 8080");
    c.AddMessage("3 clients connected");
    c.AddMessage("Backup finished");
    c.SetInfoLine(1, "Users|12");
    c.SetInfoLine(2, "Memory|48 MB");
    c.SetInfoLine(3, "Queue length|3");
    c.FocusRow(2);
    SetForegroundWindow(rig.Window);
    SetFocus(rig.Frame->lst_Debug.Handle());
    DWORD until = GetTickCount() + DWORD(std::atoi(cmd && *cmd ? cmd : "30")) * 1000;
    if (cmd && std::strstr(cmd, "menu")) {
        // A click on the arrow part of the filter button, as the user gives
        // it; the menu closes itself after five seconds.
        PostMessageA(rig.Frame->btn_Groups.Handle(), WM_LBUTTONDOWN, MK_LBUTTON,
                     MAKELPARAM(44, 18));
        SetTimer(nullptr, 0, 5000, [](HWND, UINT, UINT_PTR id, DWORD) {
            KillTimer(nullptr, id);
            EndMenu();
        });
    }
    MSG m;
    while (GetTickCount() < until) {
        while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&m);
            DispatchMessageA(&m);
        }
        Sleep(20);
    }
    return 0;
}
