// A STATIC label in its own colours that sizes itself to its text.
#pragma once

#include "ui/Scoped_win.h"
#include "ui/Window_win.h"

#include <string>

namespace vx {

// A STATIC label in its own colours; it is as wide as its text.
class TLabel : public ui::TWindow {
  public:
    ~TLabel() override;
    bool Create(ui::TWindow* parent, const std::string& caption, int left, int top, HFONT font,
                TColor color, TColor background);
    void SetCaption(const std::string& caption);
    void SetColor(TColor color);
    TColor Color() const { return color_; }

  protected:
    bool OnCtlColor(HDC dc, LRESULT& result) override;

  private:
    void AutoSize();
    HFONT font_ = nullptr;  // not owned
    ui::ScopedBrush brush_; // for a background that is not a system colour
    TColor color_ = 0, background_ = 0;
};

} // namespace vx
