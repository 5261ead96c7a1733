// The find bar above a section's debug list: the text to find, how to match
// it, where to look, and a line that tells how many rows match. It only
// collects what the user types and chooses; the frame does the finding.
#pragma once

#include "find/FindEngine.h"
#include "ui/EditBox_win.h"
#include "ui/Keys_win.h"
#include "ui/Panel_win.h"

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace vx {

// A check box or push button of the bar; its keys go to OnKey first.
class TBarButton : public ui::TWindow {
  public:
    bool Create(ui::TWindow* parent, const char* caption, DWORD style, int left, int top,
                int width);
    bool Checked() const;
    void SetChecked(bool checked);
    std::function<void(TBarButton& sender)> OnClick;
    TKeyEvent OnKey;

  protected:
    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    bool OnCommand(WORD code, LRESULT& result) override;

  private:
    TKeyFilter keys_;
};

class TFindBar : public ui::TPanel {
  public:
    static constexpr int kHeight = 70; // before the parts are laid out to the width
    // The control ID of the line that counts the matches, so that tools and
    // tests in other processes can find and read it.
    static constexpr int kStatusId = 0x4F10;

    bool Create(ui::TWindow* parent);

    std::string FindText() const { return Edit.Text(); }
    TFindOptions Options() const;
    void SetStatus(const std::string& text);
    std::string Status() const { return status_; }
    // Puts the focus in the text field with its text selected.
    void FocusText();
    // The bar's parts in Tab order.
    std::vector<HWND> Parts() const;

    // The text or an option changed.
    std::function<void()> OnChange;
    // A key in any part of the bar, before the part sees it; true when taken.
    std::function<bool(HWND from, WORD key, unsigned modifiers)> OnKey;
    std::function<void()> OnClose;
    std::function<void(bool forward)> OnStep;

    TEditBox Edit;
    TBarButton chk_MatchCase, chk_WholeWord, chk_RegularExpression;
    TBarButton chk_InMessage, chk_InSource, chk_InData;
    TBarButton btn_Previous, btn_Next, btn_CloseFind;
    // Places the parts for the bar's width (and pixels per inch).
    void Arrange();

  protected:
    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

  private:
    HWND label_ = nullptr, inLabel_ = nullptr, status_hwnd_ = nullptr;
    std::string status_;
};

} // namespace vx
