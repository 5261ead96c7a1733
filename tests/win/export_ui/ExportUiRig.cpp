#include "ExportUiRig.h"

#include <deque>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace vxtest {

void TTable::GetRecordValues(vx::TvxValues& v) {
    v = {vx::TVariant(std::to_string(RecordIndex + 1)),
         vx::TVariant(Prefix + " " + std::to_string(RecordIndex + 1))};
}

namespace {

struct TScript {
    vx::TvxExportUIWin* Ui = nullptr;
    std::deque<TStep> Steps;
    UINT_PTR Timer = 0;
};

TScript& Script() {
    static TScript s;
    return s;
}

void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
    TScript& s = Script();
    HWND dialog = s.Ui ? s.Ui->Dialog() : nullptr;
    if (!dialog || !IsWindowVisible(dialog)) return;
    if (s.Steps.empty()) {
        KillTimer(nullptr, s.Timer);
        s.Timer = 0;
        return;
    }
    TStep step = std::move(s.Steps.front());
    s.Steps.pop_front();
    if (s.Steps.empty()) {
        KillTimer(nullptr, s.Timer);
        s.Timer = 0;
    }
    step(dialog);
}

LRESULT CALLBACK HostProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto* host = reinterpret_cast<THost*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (host && msg == WM_PAINT) ++host->Paints;
    if (host && msg == WM_APP) {
        ++host->Apps;
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

} // namespace

void Drive(vx::TvxExportUIWin& ui, std::vector<TStep> steps) {
    TScript& s = Script();
    s.Ui = &ui;
    s.Steps.assign(steps.begin(), steps.end());
    if (s.Timer) KillTimer(nullptr, s.Timer);
    s.Timer = SetTimer(nullptr, 0, 20, &Tick);
}

bool DriveFinished() {
    return Script().Steps.empty();
}

std::string Text(HWND w) {
    std::vector<char> buf(size_t(GetWindowTextLengthA(w)) + 1, '\0');
    GetWindowTextA(w, buf.data(), int(buf.size()));
    return buf.data();
}

RECT ChildRect(HWND child) {
    RECT r;
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

bool SameRect(RECT r, int left, int top, int width, int height) {
    return r.left == left && r.top == top && r.right - r.left == width &&
           r.bottom - r.top == height;
}

std::vector<std::string> ComboItems(HWND combo) {
    std::vector<std::string> items;
    const int n = int(SendMessageA(combo, CB_GETCOUNT, 0, 0));
    for (int i = 0; i < n; ++i) {
        std::vector<char> buf(size_t(SendMessageA(combo, CB_GETLBTEXTLEN, WPARAM(i), 0)) + 1, '\0');
        SendMessageA(combo, CB_GETLBTEXT, WPARAM(i), LPARAM(buf.data()));
        items.push_back(buf.data());
    }
    return items;
}

void SelectItem(HWND dialog, const std::string& text) {
    HWND combo = GetDlgItem(dialog, vx::kFormatListId);
    const int item = int(SendMessageA(combo, CB_FINDSTRINGEXACT, WPARAM(-1), LPARAM(text.c_str())));
    SendMessageA(combo, CB_SETCURSEL, WPARAM(item), 0);
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(vx::kFormatListId, CBN_SELCHANGE), LPARAM(combo));
}

void Click(HWND dialog, int id) {
    SendMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0);
}

bool Checked(HWND dialog, int id) {
    return SendMessageA(GetDlgItem(dialog, id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

THost::THost() {
    static bool registered = false;
    if (!registered) {
        WNDCLASSA wc{};
        wc.lpfnWndProc = HostProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.hbrBackground = HBRUSH(GetStockObject(WHITE_BRUSH));
        wc.lpszClassName = "vxExportUiHost";
        RegisterClassA(&wc);
        registered = true;
    }
    Window = CreateWindowExA(0, "vxExportUiHost", "host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 20, 20,
                             400, 300, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    SetWindowLongPtrA(Window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    Pump(50);
}

THost::~THost() {
    SetWindowLongPtrA(Window, GWLP_USERDATA, 0);
    DestroyWindow(Window);
}

std::vector<unsigned> PrintClient(HWND hwnd, int& width, int& height) {
    RECT r;
    GetClientRect(hwnd, &r);
    width = r.right;
    height = r.bottom;
    BITMAPINFO bi{};
    bi.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP dib = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(dc, dib);
    SendMessageA(hwnd, WM_PRINTCLIENT, WPARAM(dc), PRF_CLIENT);
    GdiFlush();
    const auto* src = static_cast<const unsigned*>(bits);
    std::vector<unsigned> px(src, src + size_t(width) * size_t(height));
    for (unsigned& p : px)
        p &= 0xFFFFFF;
    SelectObject(dc, old);
    DeleteObject(dib);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    return px;
}

void Pump(DWORD ms) {
    const DWORD start = GetTickCount();
    do {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        Sleep(5);
    } while (GetTickCount() - start < ms);
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

std::string TempFolder() {
    static int counter = 0;
    namespace fs = std::filesystem;
    fs::path dir =
        fs::temp_directory_path() /
        ("vx_export_ui_" + std::to_string(GetCurrentProcessId()) + "_" + std::to_string(++counter));
    fs::remove_all(dir);
    fs::create_directories(dir);
    return dir.string() + "\\";
}

} // namespace vxtest
