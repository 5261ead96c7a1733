// A client's top-level window in the test process: it records every
// "vxDebugger2Client" notice, and a client library instance beside it sends
// records (raw blocks too) to the viewer.
#pragma once

#include "RemoteUi.h"
#include "protocol/vxDebugIntf.h"

#include <windows.h>

#include <string>
#include <vector>

namespace vxtest {

using namespace vx;

class TNoticeListener {
  public:
    struct TNotice {
        WPARAM Code;
        HWND Viewer;
    };

    TNoticeListener() {
        RegisterDebugMessages();
        WNDCLASSA wc{};
        wc.lpfnWndProc = Proc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "vxE2ENoticeListener";
        RegisterClassA(&wc);
        hwnd_ = CreateWindowExA(WS_EX_TOOLWINDOW, wc.lpszClassName, "listener", WS_POPUP, 0, 0, 0,
                                0, nullptr, nullptr, wc.hInstance, nullptr);
        SetWindowLongPtrA(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    }
    ~TNoticeListener() { DestroyWindow(hwnd_); }
    TNoticeListener(const TNoticeListener&) = delete;
    TNoticeListener& operator=(const TNoticeListener&) = delete;

    HWND Handle() const { return hwnd_; }
    std::vector<TNotice> Notices;

    // Notices with this code (and from this viewer, when given).
    int Count(WPARAM code, HWND viewer = nullptr) const {
        int n = 0;
        for (const TNotice& x : Notices)
            n += x.Code == code && (!viewer || x.Viewer == viewer);
        return n;
    }
    bool WaitForNotice(WPARAM code, HWND viewer, int count = 1, DWORD ms = 10000) {
        return WaitFor([&] { return Count(code, viewer) >= count; }, ms);
    }
    // A handshake request to one viewer, as a client's debug unit posts it.
    void Hello(HWND viewer, WPARAM code = 1) {
        PostMessageA(viewer, WM_CLIENT2DEBUGGER, code, reinterpret_cast<LPARAM>(hwnd_));
    }

  private:
    static LRESULT CALLBACK Proc(HWND h, UINT msg, WPARAM wParam, LPARAM lParam) {
        auto* self = reinterpret_cast<TNoticeListener*>(GetWindowLongPtrA(h, GWLP_USERDATA));
        if (self && msg != 0 && msg == WM_DEBUGGER2CLIENT) {
            self->Notices.push_back({wParam, reinterpret_cast<HWND>(lParam)});
            return 0;
        }
        return DefWindowProcA(h, msg, wParam, lParam);
    }
    HWND hwnd_ = nullptr;
};

} // namespace vxtest
