// The progress window shown while a document is written.
#include "export/vxExportUI_win.h"

#include "export/vxExportWindows_win.h"
#include "ui/Dpi_win.h"
#include "ui/Scoped_win.h"

#include <commctrl.h>

#include <algorithm>

namespace vx {

namespace {

constexpr const char* kProgressClass = "TvxExportProgress";
constexpr int kBarHeight = 16;
constexpr int kMargin = 8;
constexpr DWORD kRepaintInterval = 50; // ms: 20 pictures a second

BOOL CALLBACK RepaintWindow(HWND hwnd, LPARAM) {
    if (IsWindowVisible(hwnd))
        RedrawWindow(hwnd, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    return TRUE;
}

SIZE TextSize(HWND control, const std::string& text) {
    ui::ScopedGetDC dc(control);
    ui::ScopedSelectObject font(dc, GetStockObject(DEFAULT_GUI_FONT));
    RECT r{0, 0, 0, 0};
    DrawTextA(dc, text.c_str(), int(text.size()), &r, DT_CALCRECT | DT_SINGLELINE);
    TEXTMETRICA tm{};
    GetTextMetricsA(dc, &tm);
    return SIZE{r.right - r.left, std::max<LONG>(r.bottom - r.top, tm.tmHeight)};
}

} // namespace

TvxExportProgressWin::TvxExportProgressWin(HWND owner, const TvxMessagesOptions& messages, int max)
    : max_(std::max(max, 0)) {
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&icc);

    // The window's measures are of the 96 layout, at the owner's pixels per inch.
    const UINT dpi = ui::WindowDpi(owner);
    const auto S = [dpi](int px) { return ui::Scale(px, dpi); };
    const int margin = S(kMargin), barHeight = S(kBarHeight), gap = S(16);
    const int width = S(messages.Width), height = S(messages.Height);
    const POINT at = export_ui::CentredOnScreen(width, height);
    HINSTANCE module = GetModuleHandleA(nullptr);
    ui::TCreateParams params;
    params.Class.Name = kProgressClass;
    params.Class.Style = 0;
    params.Class.Background = GetSysColorBrush(COLOR_BTNFACE);
    params.Style = WS_POPUP | WS_CAPTION | WS_CLIPCHILDREN;
    params.ExStyle = WS_EX_TOOLWINDOW | WS_EX_TOPMOST;
    params.Text = messages.Caption.c_str();
    params.Left = at.x;
    params.Top = at.y;
    params.Width = width;
    params.Height = height;
    params.ParentHandle = owner;
    window_.Handler = [this](UINT msg, WPARAM wParam, LPARAM lParam) {
        // Only the export closes the window (by destroying it).
        if (msg == WM_CLOSE) return LRESULT(0);
        return window_.Default(msg, wParam, lParam);
    };
    window_.Create(params, typeid(*this));
    if (!Handle()) return;
    RECT client;
    GetClientRect(Handle(), &client);
    const int clientWidth = client.right, clientHeight = client.bottom;

    int barTop = (height - barHeight - gap) / 2;
    if (!messages.Text.empty()) {
        label_ = CreateWindowExA(0, "STATIC", messages.Text.c_str(), WS_CHILD | WS_VISIBLE, margin,
                                 margin, 0, 0, Handle(), nullptr, module, nullptr);
        export_ui::SetGuiFont(label_);
        const SIZE text = TextSize(label_, messages.Text);
        SetWindowPos(label_, nullptr, 0, 0, text.cx, text.cy, SWP_NOMOVE | SWP_NOZORDER);
        barTop = (height - clientHeight) + (clientHeight - text.cy - gap - barHeight) / 2;
    }
    // A window smaller than its texts still shows the whole bar.
    barTop = std::max(0, std::min(barTop, clientHeight - barHeight));
    bar_ = CreateWindowExA(0, PROGRESS_CLASSA, "", WS_CHILD | WS_VISIBLE, margin, barTop,
                           std::max(clientWidth - 2 * margin, 0), barHeight, Handle(), nullptr,
                           module, nullptr);
    SendMessageA(bar_, PBM_SETRANGE32, 0, max_);
    SendMessageA(bar_, PBM_SETPOS, 0, 0);

    // Shown without taking the focus from the window the export started in.
    ShowWindow(Handle(), SW_SHOWNA);
    Repaint();
}

TvxExportProgressWin::~TvxExportProgressWin() {
    window_.Destroy();
}

void TvxExportProgressWin::SetPosition(int position) {
    if (!bar_ || position == shown_) return;
    // A repaint costs more than writing many records, so the window shows
    // the position at most every 50 ms; the bar still ends at the last record.
    const bool due = GetTickCount() - shownAt_ >= kRepaintInterval;
    if (!due && position < max_ - 1) return;
    shown_ = position;
    SendMessageA(bar_, PBM_SETPOS, WPARAM(position), 0);
    if (due) Repaint();
}

void TvxExportProgressWin::Repaint() {
    ++repaints_;
    shownAt_ = GetTickCount();
    // Every window of the program paints what is waiting (the bar, and what
    // the closed dialog uncovered), so the program does not look hung. No
    // message is taken from the queue: that would also run input, timers
    // and the records clients send, and a record could change the list
    // being exported.
    EnumThreadWindows(GetCurrentThreadId(), &RepaintWindow, 0);
}

} // namespace vx
