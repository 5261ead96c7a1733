#include "WinTest_win.h"

#include <algorithm>
#include <deque>

namespace vxtest {

namespace {

constexpr UINT kTimeout = 5000; // for one message to another process

struct TDialogScript {
    std::function<HWND()> Find;
    std::deque<TDialogStep> Steps;
    UINT_PTR Timer = 0;
    // A step's posted keys are handled before the next step runs: the
    // program's loop may give a due timer its turn before posted messages,
    // so each step is followed by a marker posted behind its messages.
    HWND Marker = nullptr;
    bool Waiting = false;
    // Ticks a step has waited for the focus to come into the dialog: a step
    // posts its keys to the focus, which a loaded machine moves there late.
    int FocusWaits = 0;
};

TDialogScript& Script() {
    static TDialogScript s;
    return s;
}

LRESULT CALLBACK MarkerProc(HWND w, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_APP) {
        Script().Waiting = false;
        return 0;
    }
    return DefWindowProcA(w, msg, wParam, lParam);
}

HWND Marker() {
    TDialogScript& s = Script();
    if (!s.Marker) {
        WNDCLASSA wc{};
        wc.lpfnWndProc = MarkerProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "vxtestStepMarker";
        RegisterClassA(&wc);
        s.Marker = CreateWindowA(wc.lpszClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                 wc.hInstance, nullptr);
    }
    return s.Marker;
}

void CALLBACK StepTick(HWND, UINT, UINT_PTR, DWORD) {
    TDialogScript& s = Script();
    if (s.Waiting) return;
    HWND dialog = s.Find ? s.Find() : nullptr;
    if (!dialog || !IsWindowVisible(dialog)) return;
    const HWND focus = GetFocus();
    if ((!focus || (focus != dialog && !IsChild(dialog, focus))) && ++s.FocusWaits < 50) return;
    s.FocusWaits = 0;
    if (s.Steps.empty()) {
        StopDialogSteps();
        return;
    }
    TDialogStep step = std::move(s.Steps.front());
    s.Steps.pop_front();
    // The last step may open a box of its own: no tick may run inside it.
    if (s.Steps.empty()) StopDialogSteps();
    step(dialog);
    s.Waiting = PostMessageA(Marker(), WM_APP, 0, 0) != FALSE;
}

BOOL CALLBACK FindDialogBox(HWND w, LPARAM lp) {
    char cls[16] = {};
    GetClassNameA(w, cls, sizeof cls);
    if (IsWindowVisible(w) && std::string(cls) == "#32770") {
        *reinterpret_cast<HWND*>(lp) = w;
        return FALSE;
    }
    return TRUE;
}

} // namespace

void DispatchWaiting() {
    MSG m;
    while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&m);
        DispatchMessageA(&m);
    }
}

void PumpFor(DWORD ms) {
    DWORD end = GetTickCount() + ms;
    for (;;) {
        DispatchWaiting();
        int32_t left = int32_t(end - GetTickCount());
        if (left <= 0) return;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, DWORD(left), QS_ALLINPUT);
    }
}

bool MoveMouseOver(HWND window) {
    RECT r;
    if (!GetWindowRect(window, &r)) return false;
    const int width = std::max(2, GetSystemMetrics(SM_CXSCREEN)),
              height = std::max(2, GetSystemMetrics(SM_CYSCREEN));
    // A step beside the middle first: a move to where the mouse is already
    // is no move.
    INPUT in[2] = {};
    for (int i = 0; i < 2; ++i) {
        in[i].type = INPUT_MOUSE;
        in[i].mi.dx = LONG(((r.left + r.right) / 2 + 1 - i) * 65535 / (width - 1));
        in[i].mi.dy = LONG((r.top + r.bottom) / 2 * 65535 / (height - 1));
        in[i].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    }
    return SendInput(2, in, sizeof in[0]) == 2;
}

bool WaitFor(const std::function<bool()>& cond, DWORD ms) {
    DWORD end = GetTickCount() + ms;
    for (;;) {
        if (cond()) {
            DispatchWaiting();
            return true;
        }
        int32_t left = int32_t(end - GetTickCount());
        if (left <= 0) return cond();
        // Another thread or process may make it true without a message.
        PumpFor(DWORD(std::min<int32_t>(left, 10)));
    }
}

std::string WindowText(HWND w) {
    DWORD_PTR n = 0;
    if (!SendMessageTimeoutA(w, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, kTimeout, &n) ||
        LRESULT(n) <= 0)
        return {};
    std::vector<char> buf(size_t(n) + 1, '\0');
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutA(w, WM_GETTEXT, buf.size(), reinterpret_cast<LPARAM>(buf.data()),
                             SMTO_ABORTIFHUNG, kTimeout, &copied))
        return {};
    return std::string(buf.data(), std::min<size_t>(copied, n));
}

namespace {

// The pixels that draw paints into a width x height 32-bit bitmap.
TPixels Capture(int width, int height, const std::function<void(HDC)>& draw) {
    TPixels p;
    p.Width = width;
    p.Height = height;
    BITMAPINFO bi{};
    bi.bmiHeader = {sizeof(BITMAPINFOHEADER), p.Width, -p.Height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP dib = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(dc, dib);
    draw(dc);
    GdiFlush();
    const auto* px = static_cast<const unsigned*>(bits);
    p.Data.assign(px, px + size_t(p.Width) * p.Height);
    for (unsigned& v : p.Data)
        v &= 0xFFFFFF;
    SelectObject(dc, old);
    DeleteObject(dib);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    return p;
}

} // namespace

TPixels PrintClient(HWND hwnd, UINT flags) {
    RECT r;
    GetClientRect(hwnd, &r);
    return Capture(r.right, r.bottom, [&](HDC dc) {
        SendMessageA(hwnd, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), flags);
    });
}

TPixels Shown(HWND hwnd) {
    RECT r;
    GetWindowRect(hwnd, &r);
    return Capture(r.right - r.left, r.bottom - r.top, [&](HDC dc) {
        HDC window = GetWindowDC(hwnd);
        BitBlt(dc, 0, 0, r.right - r.left, r.bottom - r.top, window, 0, 0, SRCCOPY);
        ReleaseDC(hwnd, window);
    });
}

void RunDialogSteps(std::function<HWND()> find, std::vector<TDialogStep> steps, UINT intervalMs) {
    StopDialogSteps();
    TDialogScript& s = Script();
    Marker();
    s.Waiting = false;
    s.FocusWaits = 0;
    s.Find = std::move(find);
    s.Steps.assign(steps.begin(), steps.end());
    s.Timer = SetTimer(nullptr, 0, intervalMs, &StepTick);
}

size_t DialogStepsLeft() {
    return Script().Steps.size();
}

void StopDialogSteps() {
    TDialogScript& s = Script();
    if (s.Timer) KillTimer(nullptr, s.Timer);
    s.Timer = 0;
}

HWND ThreadDialog() {
    HWND dialog = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), &FindDialogBox, reinterpret_cast<LPARAM>(&dialog));
    return dialog;
}

TPlainHost::TPlainHost(const TPlace& place) {
    static bool registered = false;
    if (!registered) {
        WNDCLASSA wc{};
        wc.lpfnWndProc = Proc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
        wc.hbrBackground = HBRUSH(GetStockObject(WHITE_BRUSH));
        wc.lpszClassName = "vxTestHost";
        RegisterClassA(&wc);
        registered = true;
    }
    hwnd_ = CreateWindowExA(0, "vxTestHost", place.Caption,
                            WS_OVERLAPPEDWINDOW | (place.Visible ? WS_VISIBLE : 0), place.Left,
                            place.Top, place.Width, place.Height, nullptr, nullptr,
                            GetModuleHandleA(nullptr), nullptr);
    SetWindowLongPtrA(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

TPlainHost::~TPlainHost() {
    SetWindowLongPtrA(hwnd_, GWLP_USERDATA, 0);
    DestroyWindow(hwnd_);
}

RECT TPlainHost::Client() const {
    RECT r{};
    GetClientRect(hwnd_, &r);
    return r;
}

LRESULT CALLBACK TPlainHost::Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto* host = reinterpret_cast<TPlainHost*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    switch (msg) {
    case WM_CTLCOLORSTATIC:
        return LRESULT(GetStockObject(WHITE_BRUSH));
    case WM_PAINT:
        if (host) ++host->Paints;
        break;
    case WM_APP:
        if (!host) break;
        ++host->Apps;
        return 0;
    case WM_SIZE:
        if (host && host->OnSize) host->OnSize(LOWORD(lParam), HIWORD(lParam));
        break;
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

} // namespace vxtest
