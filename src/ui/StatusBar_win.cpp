#include "ui/StatusBar_win.h"

#include <commctrl.h>

namespace vx::ui {

bool TStatusBar::Create(TWindow* parent, const std::vector<TStatusPanel>& panels, int height) {
    Align = TAlign::alBottom;
    // The layout places the bar, not the control itself.
    if (!CreateControl(STATUSCLASSNAMEA, parent,
                       WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP | CCS_NOPARENTALIGN | CCS_NORESIZE))
        return false;
    panels_ = panels;
    texts_.assign(panels.size(), "");
    std::vector<int> edges;
    int x = 0;
    for (size_t i = 0; i < panels.size(); ++i) {
        x += panels[i].Width;
        edges.push_back(i + 1 == panels.size() ? -1 : x);
    }
    SendMessageA(Handle(), SB_SETPARTS, edges.size(), reinterpret_cast<LPARAM>(edges.data()));
    SetBounds(0, 0, 100, height);
    return true;
}

void TStatusBar::SetPanelText(int index, const std::string& text) {
    if (index < 0 || index >= PanelCount() || texts_[index] == text) return;
    texts_[index] = text;
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

}  // namespace vx::ui
