// Tfrm_About: the about box.
//
//   Tfrm_About about(module, settings, &shell, mainHwnd);  // created hidden at start-up
//   about.Execute();      // act_About: animation on, modal, animation off
//   // destroyed at program end: saves its position ("About Left"/"About Top")
//
// Creating the box is its FormCreate: the position is loaded (a negative value
// becomes 0) and Lbl_Version shows the version of the running program's own
// version resource (empty without one). While shown modally the other windows
// of the thread are disabled; "&OK", Enter and Escape close it. Its caption
// bar has the main window's colour gradient.
#pragma once

#include "ui/GifAnimator_win.h"
#include "forms/form_About.h"
#include "ui/vxLinkLabel_win.h"
#include "ui/CaptionGradient_win.h"
#include "ui/Dpi_win.h"
#include "ui/Scoped_win.h"
#include "ui/Window_win.h"

#include <windows.h>

#include <array>
#include <memory>

namespace vx {

inline constexpr int kAboutClientWidth = 603;
inline constexpr int kAboutClientHeight = 401;
// The box is laid out in pixels for a screen of 96 pixels per inch and scaled
// to its owner's (or the system's) pixels per inch, its fonts with it (the
// 24-point title 32 pixels high at 96), so the texts keep their places.
inline constexpr int kAboutLayoutPixelsPerInch = 96;

// Bevel3 (acknowledgement), Bevel2 (notice and disclaimer), Bevel1
// (animation, button), at that many pixels per inch.
std::array<RECT, 3> AboutBevels(UINT dpi);

class Tfrm_About {
  public:
    Tfrm_About(HINSTANCE module, TRegistryHandler& settings, IShell* shell, HWND owner = nullptr);
    ~Tfrm_About();
    Tfrm_About(const Tfrm_About&) = delete;
    Tfrm_About& operator=(const Tfrm_About&) = delete;

    HWND Handle() const { return window_.Handle(); }
    // Starts the animation, shows the box modally, stops the animation.
    void Execute();
    // Runs until the box is closed; the box is hidden again afterwards.
    void ShowModal();
    bool Showing() const { return modal_; }
    void Close(); // btn_CloseClick
    void StartAnimation() { GIFAnimator_1->SetAnimate(true); }
    void StopAnimation() { GIFAnimator_1->SetAnimate(false); }
    TFormPosition Position() const;
    void SetPosition(TFormPosition position);
    UINT Dpi() const { return dpi_; }                   // the pixels per inch it is laid out for
    int S(int px) const { return ui::Scale(px, dpi_); } // a 96-DPI measure at that setting

    // The box's parts, named as on the form.
    ui::TOwnedWindow Panel_Left;
    ui::TOwnedWindow Panel_Client;
    std::unique_ptr<TvxLinkLabel> lbl_CMP, Lbl_Version, lbl_Notice, lbl_Support, lbl_Author, Label1,
        vxLinkLabel, lbl_Icons_1, lbl_Icons_2, lnk_Silk, lnk_Tango, lbl_Free;
    HWND Memo1 = nullptr;
    std::unique_ptr<TGifAnimator> GIFAnimator_1;
    HWND btn_Close = nullptr;
    ui::TCaptionGradient CaptionGradient; // the main window's caption look

  private:
    LRESULT FormMessage(UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT PanelMessage(bool left, UINT msg, WPARAM wParam, LPARAM lParam);
    void CreateComponents(HINSTANCE module, IShell* shell);
    std::unique_ptr<TvxLinkLabel> Label(int left, int top, const char* caption, IShell* shell,
                                        const TFont& font);
    std::unique_ptr<TvxLinkLabel> Link(int left, int top, const char* caption, const char* link,
                                       TvxLinkLabelStyle style, IShell* shell);
    void FitTitle();
    int Unscale(int px) const; // back to the 96-DPI layout
    void PaintClientPanel(HDC dc);
    void PaintLeftPanel(HDC dc);
    void FormCreate();
    void FormDestroy();

    TRegistryHandler& settings_;
    UINT dpi_ = kAboutLayoutPixelsPerInch;
    ui::ScopedBrush whiteBrush_;
    ui::ScopedBrush navyBrush_;
    ui::ScopedIcon icon_;
    ui::TOwnedWindow window_;
    TGdiFont memoFont_, buttonFont_;
    bool modal_ = false;
};

} // namespace vx
