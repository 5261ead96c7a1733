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
    // New panel widths and bar height (at other pixels per inch); the texts stay.
    void SetPanels(const std::vector<TStatusPanel>& panels, int height);
    ~TStatusBar() override;
    // Sets a panel's text; the text is kept as given and aligned by the panel.
    // PanelText has it at once; the control shows it at once too unless it was
    // updated less than kRefreshInterval ago, in which case it catches up when
    // that interval ends. A flood of client records would otherwise repaint
    // the bar between every two records.
    void SetPanelText(int index, const std::string& text);
    std::string PanelText(int index) const;
    // Shows every text that is still waiting.
    void Flush();

    // Four times a second: under Wine's default theme every repaint of the
    // bar draws each panel as a dozen blits, each asking the server for the
    // display settings.
    static constexpr DWORD kRefreshInterval = 250;

  private:
    void Push(int index);
    static void CALLBACK FlushTimer(HWND hwnd, UINT, UINT_PTR, DWORD);

    std::vector<TStatusPanel> panels_;
    std::vector<std::string> texts_;
    std::vector<bool> waiting_;
    DWORD lastPush_ = 0;
    bool timer_ = false;
};

} // namespace vx::ui
