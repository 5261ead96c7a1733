#include "vxClient_win.h"

#include "protocol/vxDebugIntf.h"

namespace vx {

namespace {
const char* const kClientClass = "vxDebugClientWindow";
}

TDebugClient::TDebugClient() {
    RegisterDebugMessages();
    HINSTANCE inst = GetModuleHandleA(nullptr);
    WNDCLASSA wc{};
    wc.lpfnWndProc = WndProc;
    wc.hInstance = inst;
    wc.lpszClassName = kClientClass;
    RegisterClassA(&wc); // fails harmlessly when already registered
    // A hidden top-level window: broadcasts (vnShown, vnClosing) reach only those.
    window_ = CreateWindowExA(WS_EX_TOOLWINDOW, kClientClass, "vxDebugClient", WS_POPUP, 0, 0, 0, 0,
                              nullptr, nullptr, inst, nullptr);
    SetWindowLongPtrA(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

TDebugClient::~TDebugClient() {
    if (window_) DestroyWindow(window_);
}

LRESULT CALLBACK TDebugClient::WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<TDebugClient*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (self && msg == WM_DEBUGGER2CLIENT && msg != 0) {
        switch (wParam & 0xFF) {
        case vnAnswer:
        case vnShown:
            self->viewer_ = reinterpret_cast<HWND>(lParam);
            self->closed_ = false;
            break;
        case vnClosing:
            if (self->viewer_ == reinterpret_cast<HWND>(lParam)) self->viewer_ = nullptr;
            self->closed_ = true;
            break;
        }
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

void TDebugClient::Pump(DWORD ms) {
    DWORD end = GetTickCount() + ms;
    for (;;) {
        MSG m;
        while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&m);
            DispatchMessageA(&m);
        }
        DWORD now = GetTickCount();
        if (int32_t(end - now) <= 0) return;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, end - now, QS_ALLINPUT);
    }
}

bool TDebugClient::PostHandshake(WPARAM wParam) {
    HWND target = viewer_ ? viewer_ : HWND_BROADCAST;
    return PostMessageA(target, WM_CLIENT2DEBUGGER, wParam, reinterpret_cast<LPARAM>(window_));
}

bool TDebugClient::FindViewer(DWORD timeoutMs) {
    viewer_ = nullptr;
    if (!PostMessageA(HWND_BROADCAST, WM_CLIENT2DEBUGGER, hsHello,
                      reinterpret_cast<LPARAM>(window_)))
        return false;
    DWORD end = GetTickCount() + timeoutMs;
    while (!viewer_ && int32_t(end - GetTickCount()) > 0)
        Pump(20);
    return viewer_ != nullptr;
}

bool TDebugClient::SendRaw(uint32_t wParam, const void* data, DWORD size) {
    if (!viewer_) return false;
    COPYDATASTRUCT cds{};
    cds.dwData = 0;
    cds.cbData = size;
    cds.lpData = const_cast<void*>(data);
    DWORD_PTR result = 0;
    // The viewer may hold the call while it shows an error box; wait for it as
    // a client's SendMessage would, but notice a viewer that has gone away.
    if (!SendMessageTimeoutA(viewer_, WM_COPYDATA, wParam, reinterpret_cast<LPARAM>(&cds),
                             SMTO_NORMAL, 600000, &result))
        return false;
    return true;
}

bool TDebugClient::Send(uint32_t wParam, const TPacketFields& fields) {
    std::string block = EncodePacket(fields);
    return SendRaw(wParam, block.data(), DWORD(block.size()));
}

} // namespace vx
