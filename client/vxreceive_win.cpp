// vxreceive: a bare receiver of the client protocol. It answers the handshake
// and takes WM_COPYDATA records without doing anything with them, which gives
// the ceiling a viewer's rate is measured against. Ends after N records when
// given N, else on Ctrl+C. With --show its window is shown (as the viewer's
// is), without it the window stays hidden.
//
// Usage: vxreceive [--show] [N]
#include "protocol/Common_Types.h"
#include "protocol/vxDebugIntf.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

long g_count = 0, g_limit = 0;

LRESULT CALLBACK ReceiverProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == vx::WM_CLIENT2DEBUGGER && msg != 0) {
        if ((wParam & 0xFF) == vx::hsHello)
            PostMessageA(reinterpret_cast<HWND>(lParam), vx::WM_DEBUGGER2CLIENT, vx::vnAnswer,
                         reinterpret_cast<LPARAM>(hwnd));
        return 0;
    }
    if (msg == WM_COPYDATA) {
        if (++g_count == g_limit) PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

}  // namespace

int main(int argc, char** argv) {
    bool show = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--show") == 0) show = true;
        else g_limit = std::atol(argv[i]);
    }
    vx::RegisterDebugMessages();
    WNDCLASSA wc{};
    wc.lpfnWndProc = ReceiverProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "vxBareReceiver";
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    RegisterClassA(&wc);
    HWND hwnd = CreateWindowExA(0, wc.lpszClassName, "vxreceive", WS_OVERLAPPEDWINDOW, 0, 0, 400,
                                300, nullptr, nullptr, wc.hInstance, nullptr);
    if (!hwnd) return 1;
    if (show) ShowWindow(hwnd, SW_SHOWNORMAL);
    MSG m;
    while (GetMessageA(&m, nullptr, 0, 0) > 0) DispatchMessageA(&m);
    std::printf("vxreceive: %ld records\n", g_count);
    return 0;
}
