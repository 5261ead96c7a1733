#include "ui/StatusBar_win.h"

#include <commctrl.h>

#include <algorithm>
#include <map>

namespace vx::ui {

bool TStatusBar::Create(TWindow* parent, const std::vector<TStatusPanel>& panels, int height) {
    Align = TAlign::alBottom;
    // The layout places the bar, not the control itself.
    if (!CreateControl(STATUSCLASSNAMEA, parent,
                       WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP | CCS_NOPARENTALIGN | CCS_NORESIZE))
        return false;
    texts_.assign(panels.size(), "");
    waiting_.assign(panels.size(), false);
    SetPanels(panels, height);
    return true;
}

void TStatusBar::SetPanels(const std::vector<TStatusPanel>& panels, int height) {
    if (panels.size() != texts_.size()) return; // the panels' count is fixed at creation
    panels_ = panels;
    std::vector<int> edges;
    int x = 0;
    for (size_t i = 0; i < panels.size(); ++i) {
        x += panels[i].Width;
        edges.push_back(i + 1 == panels.size() ? -1 : x);
    }
    SendMessageA(Handle(), SB_SETPARTS, edges.size(), reinterpret_cast<LPARAM>(edges.data()));
    RECT r = Bounds();
    SetBounds(r.left, r.top, std::max<LONG>(100, r.right - r.left), height);
}

namespace {
// The bars that wait for their refresh timer, by window.
std::map<HWND, TStatusBar*>& WaitingBars() {
    static std::map<HWND, TStatusBar*> bars;
    return bars;
}
constexpr UINT_PTR kFlushTimerId = 0x5B01;
} // namespace

TStatusBar::~TStatusBar() {
    if (timer_ && Handle()) KillTimer(Handle(), kFlushTimerId);
    WaitingBars().erase(Handle());
}

void TStatusBar::SetPanelText(int index, const std::string& text) {
    if (index < 0 || index >= PanelCount() || texts_[index] == text) return;
    texts_[index] = text;
    waiting_[index] = true;
    if (timer_) return;
    if (GetTickCount() - lastPush_ >= kRefreshInterval) {
        Flush();
        return;
    }
    if (SetTimer(Handle(), kFlushTimerId, kRefreshInterval, FlushTimer)) {
        timer_ = true;
        WaitingBars()[Handle()] = this;
    } else {
        Flush();
    }
}

void CALLBACK TStatusBar::FlushTimer(HWND hwnd, UINT, UINT_PTR, DWORD) {
    auto& bars = WaitingBars();
    auto it = bars.find(hwnd);
    if (it == bars.end()) {
        KillTimer(hwnd, kFlushTimerId);
        return;
    }
    it->second->Flush();
}

void TStatusBar::Flush() {
    if (timer_) {
        KillTimer(Handle(), kFlushTimerId);
        WaitingBars().erase(Handle());
        timer_ = false;
    }
    for (int i = 0; i < PanelCount(); ++i)
        if (waiting_[i]) Push(i);
    lastPush_ = GetTickCount();
}

void TStatusBar::Push(int index) {
    waiting_[index] = false;
    const std::string& text = texts_[index];
    // A leading tab centres the text, two right-align it.
    std::string shown = panels_[index].Alignment == TTextAlign::taCenter  ? "\t" + text
                        : panels_[index].Alignment == TTextAlign::taRight ? "\t\t" + text
                                                                          : text;
    SendMessageA(Handle(), SB_SETTEXTA, WPARAM(index), reinterpret_cast<LPARAM>(shown.c_str()));
}

std::string TStatusBar::PanelText(int index) const {
    if (index < 0 || index >= PanelCount()) return {};
    return texts_[index];
}

} // namespace vx::ui
