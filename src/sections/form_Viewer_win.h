// The text viewer shared by every section: one resizable window holding the
// data text of the row focused last in any section. Created hidden at start,
// shown (not modal) by a section's "viewer" command, hidden by "&Close".
#pragma once

#include "sections/SectionHost.h"

#include <windows.h>

#include <string>

namespace vx {

class Tfrm_Viewer : public IDataViewer {
public:
    Tfrm_Viewer(HINSTANCE instance, HWND owner);
    ~Tfrm_Viewer() override;
    Tfrm_Viewer(const Tfrm_Viewer&) = delete;
    Tfrm_Viewer& operator=(const Tfrm_Viewer&) = delete;

    void SetText(const std::string& text) override;  // the memo's whole text
    void Show() override;                             // visible and in front
    std::string Text() const { return text_; }
    HWND Handle() const { return hwnd_; }
    HWND Memo() const { return memo_; }
    HWND CloseButton() const { return close_; }

    void btn_CloseClick();
    void Panel2Resize();

private:
    static LRESULT CALLBACK WndProc(HWND, UINT, WPARAM, LPARAM);
    // The memo's and the button's keys: Tab between them, Esc closes.
    static LRESULT CALLBACK ChildKeys(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR);
    bool Key(HWND from, WPARAM key);
    LRESULT Handle(UINT msg, WPARAM wParam, LPARAM lParam);
    void Layout();

    HWND hwnd_ = nullptr, memo_ = nullptr, close_ = nullptr, tip_ = nullptr;
    HWND focus_ = nullptr;  // the child that had the focus when the window was left
    HFONT memoFont_ = nullptr, uiFont_ = nullptr;
    std::string text_;
};

// The memo shows lines broken by LF alone as well as by CR LF.
std::string ToEditLineBreaks(const std::string& text);

}  // namespace vx
