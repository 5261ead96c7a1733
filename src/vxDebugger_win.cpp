// The viewer's entry. Until the main window lands this is a bare shell that
// registers the protocol messages, answers handshakes and takes records.
#include "protocol/Common_Types.h"
#include "protocol/vxDebugIntf.h"

#include <windows.h>

namespace {

LRESULT CALLBACK ShellProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == vx::WM_CLIENT2DEBUGGER && msg != 0) {
        if ((wParam & 0xFF) == vx::hsHello)
            PostMessageA(reinterpret_cast<HWND>(lParam), vx::WM_DEBUGGER2CLIENT, vx::vnAnswer,
                         reinterpret_cast<LPARAM>(hwnd));
        return 0;
    }
    switch (msg) {
    case WM_COPYDATA:
        return 0;
    case WM_DESTROY:
        PostMessageA(HWND_BROADCAST, vx::WM_DEBUGGER2CLIENT, vx::vnClosing,
                     reinterpret_cast<LPARAM>(hwnd));
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE inst, HINSTANCE, LPSTR, int show) {
    vx::RegisterDebugMessages();
    WNDCLASSA wc{};
    wc.lpfnWndProc = ShellProc;
    wc.hInstance = inst;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = "TfrmMainWindow";
    RegisterClassA(&wc);
    HWND hwnd = CreateWindowExA(0, wc.lpszClassName, "vxDebugger for Delphi", WS_OVERLAPPEDWINDOW,
                                361, 255, 799, 604, nullptr, nullptr, inst, nullptr);
    ShowWindow(hwnd, show);
    PostMessageA(HWND_BROADCAST, vx::WM_DEBUGGER2CLIENT, vx::vnShown,
                 reinterpret_cast<LPARAM>(hwnd));
    MSG m;
    while (GetMessageA(&m, nullptr, 0, 0) > 0) {
        TranslateMessage(&m);
        DispatchMessageA(&m);
    }
    return 0;
}
