// A window timer with an OnTimer event, served by the message loop.
#pragma once

#include "ui/Window_win.h"

namespace vx::ui {

class TTimer : public TWindow {
  public:
    static constexpr UINT_PTR kTimerId = 1;

    explicit TTimer(UINT interval = 1000, bool enabled = true);
    ~TTimer() override;

    UINT Interval() const { return interval_; }
    void SetInterval(UINT interval);
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled);

    std::function<void(TTimer& sender)> OnTimer;

  protected:
    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

  private:
    UINT interval_;
    bool enabled_ = false;
};

} // namespace vx::ui
