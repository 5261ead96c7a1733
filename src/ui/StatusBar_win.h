// The status bar (msctls_statusbar32) with fixed panels; the last panel
// stretches to the right edge.
#pragma once

#include "ui/Panel_win.h"

#include <vector>

namespace vx::ui {

struct TStatusPanel {
    int Width = 50;
    TTextAlign Alignment = TTextAlign::taLeft;
};

class TStatusBar : public TWindow {
public:
    bool Create(TWindow* parent, const std::vector<TStatusPanel>& panels, int height = 19);
    int PanelCount() const { return int(panels_.size()); }
    // Sets a panel's text; the text is kept as given and aligned by the panel.
    void SetPanelText(int index, const std::string& text);
    std::string PanelText(int index) const;

private:
    std::vector<TStatusPanel> panels_;
    std::vector<std::string> texts_;
};

}  // namespace vx::ui
