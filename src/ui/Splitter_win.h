// A splitter between a control and the rest of its container: dragging it
// resizes the control. The main window's splitter also carries a collapse
// button over the middle half of its length that folds the control away and
// brings it back.
#pragma once

#include "ui/Window_win.h"

namespace vx::ui {

struct TSplitterStyle {
    TAlign Align = TAlign::alLeft; // the side the resized control sits on
    int Size = 3;                  // thickness in pixels
    int MinSize = 0;               // smallest size of the control
    int MinRemain = 0;             // space that must stay for the rest
    bool CollapseButton = false;
};

class TSplitter : public TWindow {
  public:
    bool Create(TWindow* parent, TWindow* control, const TSplitterStyle& style);

    TWindow* Control() const { return control_; }
    bool Collapsed() const { return collapsed_; }
    // Folds the control to size 0 (remembering its size) or restores it.
    void ToggleCollapse();
    // Moves the splitter as a drag would: the control gets `size`, clamped.
    void MoveTo(int size);
    RECT ButtonRect() const; // client coordinates; empty without a button
    // New measures (at other pixels per inch): thickness and the two limits.
    void SetSizes(int size, int minSize, int minRemain);

    // After the control's size changed by dragging or collapsing.
    std::function<void(TSplitter& sender)> OnMoved;

  protected:
    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

  private:
    bool Vertical() const {
        return style_.Align == TAlign::alLeft || style_.Align == TAlign::alRight;
    }
    int ControlSize() const;
    int Clamp(int size) const;
    int Pos(LPARAM lParam) const;
    void Paint(HDC dc);

    TWindow* control_ = nullptr;
    TSplitterStyle style_;
    bool dragging_ = false, moved_ = false, collapsed_ = false;
    int dragStart_ = 0, sizeStart_ = 0, savedSize_ = 0;
};

} // namespace vx::ui
