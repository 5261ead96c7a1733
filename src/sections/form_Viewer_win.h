// The text viewer shared by every section: one resizable window holding the
// data text of the row focused last in any section. Created hidden at start,
// shown (not modal) by a section's "viewer" command, hidden by "&Close".
#pragma once

#include "sections/SectionHost.h"
#include "ui/Scoped_win.h"
#include "ui/Window_win.h"

#include <windows.h>

#include <string>

namespace vx {

class Tfrm_Viewer : public IDataViewer {
  public:
    Tfrm_Viewer(HINSTANCE instance, HWND owner);
    ~Tfrm_Viewer() override;
    Tfrm_Viewer(const Tfrm_Viewer&) = delete;
    Tfrm_Viewer& operator=(const Tfrm_Viewer&) = delete;

    void SetText(const std::string& text) override; // the memo's whole text
    void Show() override;                           // visible and in front
    std::string Text() const { return text_; }
    HWND Handle() const { return window_.Handle(); }
    HWND Memo() const { return memo_.Handle(); }
    HWND CloseButton() const { return close_.Handle(); }

    void btn_CloseClick();
    void Panel2Resize();

  private:
    // The memo's and the button's keys: Tab between them, Esc closes.
    LRESULT ChildKeys(ui::TOwnedWindow& child, UINT msg, WPARAM wParam, LPARAM lParam);
    bool Key(HWND from, WPARAM key);
    LRESULT Handle(UINT msg, WPARAM wParam, LPARAM lParam);
    void Layout();

    ui::ScopedFont memoFont_, uiFont_;
    UINT dpi_ = 96;      // the pixels per inch the window is laid out for
    int S(int px) const; // a measure of the 96 layout at dpi_
    ui::TOwnedWindow window_, memo_, close_;
    HWND tip_ = nullptr;   // owned by the window, destroyed with it
    HWND focus_ = nullptr; // the child that had the focus when the window was left
    std::string text_;
};

// The memo shows lines broken by LF alone as well as by CR LF.
std::string ToEditLineBreaks(const std::string& text);

} // namespace vx
