// A STATIC label in its own colours that sizes itself to its text.
#pragma once

#include "ui/Scoped_win.h"
#include "ui/Window_win.h"

#include <string>

namespace vx {

struct TLabelStyle {
    std::string Caption;
    int Left = 0, Top = 0; // the size follows the text
    HFONT Font = nullptr;  // not owned; it must outlive the label
    TColor Color = clWindowText;
    TColor Background = clBtnFace;
};

// A STATIC label in its own colours; it is as wide as its text.
class TLabel : public ui::TWindow {
  public:
    ~TLabel() override;
    bool Create(ui::TWindow* parent, const TLabelStyle& style);
    void SetCaption(const std::string& caption);
    void SetColor(TColor color);
    TColor Color() const { return color_; }
    // Sizes the label to its text again after its font was changed.
    void FontChanged() { AutoSize(); }

  protected:
    bool OnCtlColor(HDC dc, LRESULT& result) override;

  private:
    void AutoSize();
    HFONT font_ = nullptr;  // not owned
    ui::ScopedBrush brush_; // for a background that is not a system colour
    TColor color_ = 0, background_ = 0;
};

} // namespace vx
