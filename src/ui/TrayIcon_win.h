// The notification-area (tray) icon, with a hidden window of its own that
// takes the icon's mouse messages and puts the icon back when the taskbar
// is restarted.
#pragma once

#include "ui/Window_win.h"

namespace vx::ui {

class TTrayIcon : public TWindow {
  public:
    static constexpr UINT kCallbackMessage = WM_APP + 100;
    static constexpr UINT kIconId = 1;

    TTrayIcon();
    ~TTrayIcon() override;

    // Puts the icon into the notification area; true when the shell took it.
    bool Show(HICON icon, const std::string& hint);
    void Hide();
    bool Active() const { return active_; }
    const std::string& Hint() const { return hint_; }

    std::function<void(TTrayIcon& sender)> OnDblClick;
    // Right click: show the menu at this screen point.
    std::function<void(TTrayIcon& sender, POINT screen)> OnPopup;

  protected:
    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

  private:
    bool Notify(DWORD message);
    HICON icon_ = nullptr; // not owned: the caller's, shown until another comes
    std::string hint_;
    bool active_ = false;
    UINT taskbarCreated_ = 0;
};

} // namespace vx::ui
