// A flat speed button with a picture from an image list: it takes no
// keyboard focus (the lists keep theirs), raises when the mouse is over it,
// and, with a group index, stays down until clicked again. A drop-down
// button has an arrow part on its right that opens a menu.
//
// It answers BM_CLICK, BM_GETCHECK and BM_SETCHECK like a check box, so a
// test or an automation tool can drive it through messages.
#pragma once

#include "ui/Window_win.h"

#include <commctrl.h>

#include <functional>
#include <string>

namespace vx {

struct TSpeedButtonStyle {
    int Left = 0, Top = 0, Width = 36, Height = 36;
    int ImageIndex = -1;
    int GroupIndex = 0;    // above 0: stays down when clicked
    bool DropDown = false; // arrow part on the right
    std::string Hint;
    // Not owned; they must outlive the button. Without the disabled list a
    // disabled button draws its normal picture.
    HIMAGELIST Images = nullptr, DisabledImages = nullptr;
};

class TSpeedButton : public ui::TWindow {
  public:
    static constexpr int kArrowWidth = 14; // at 96 pixels per inch

    bool Create(ui::TWindow* parent, const TSpeedButtonStyle& style);

    // Other pictures (at other pixels per inch).
    void SetImages(HIMAGELIST images, HIMAGELIST disabledImages);
    bool Down() const { return down_; }
    void SetDown(bool down);
    int ImageIndex() const { return style_.ImageIndex; }
    void SetImageIndex(int index);
    int GroupIndex() const { return style_.GroupIndex; }
    bool Enabled() const { return Handle() && IsWindowEnabled(Handle()); }
    void SetEnabled(bool enabled);
    // Whether the mouse is over the button (it is then drawn raised).
    bool Hot() const { return hot_; }

    // A click on the main part: a button of a group flips Down, then OnClick.
    void Click();
    // A click on the arrow part: OnDropDown.
    void DropDownClick();

    std::function<void(TSpeedButton& sender)> OnClick;
    std::function<void(TSpeedButton& sender)> OnDropDown;
    // A tooltip that has this button as a tool: the button hands it its mouse
    // messages, so that it need not subclass the button (a subclassed window
    // asks the server for its subclass data three times for each message).
    HWND ToolTip = nullptr;

  protected:
    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

  private:
    void Paint(HDC dc);
    bool OnArrow(LPARAM lParam) const;
    RECT MainRect() const;

    TSpeedButtonStyle style_;
    bool down_ = false, hot_ = false, pressed_ = false, inside_ = false;
};

} // namespace vx
