// A panel: a container with a background colour, an optional bevel or
// border and an optional caption line, like the information line.
#pragma once

#include "ui/Scoped_win.h"
#include "ui/Window_win.h"

namespace vx::ui {

enum class TBevel { bvNone, bvLowered, bvRaised };
enum class TTextAlign { taLeft, taCenter, taRight };

struct TPanelStyle {
    TAlign Align = TAlign::alNone;
    TColor Color = clBtnFace;
    TBevel BevelOuter = TBevel::bvNone;
    bool SingleBorder = false;
    TColor FontColor = clWindowText;
    TTextAlign Alignment = TTextAlign::taCenter;
    int Width = 100, Height = 40;
    bool Visible = true; // false: made hidden, shown later
};

class TPanel : public TWindow {
  public:
    TPanel() = default;
    ~TPanel() override;
    bool Create(TWindow* parent, const TPanelStyle& style, HWND parentHandle = nullptr);

    TColor Color() const { return style_.Color; }
    void SetColor(TColor color);
    const std::string& Caption() const { return caption_; }
    void SetCaption(const std::string& caption);
    // The panel owns the font from then on.
    void SetCaptionFont(HFONT font);
    HFONT CaptionFont() const { return font_.Get(); }
    // The area inside the bevel and border, where children go.
    int FrameWidth() const;

    std::function<void(TPanel& sender, HDC dc, const RECT& client)> OnPaint;
    std::function<void(TPanel& sender, POINT client)> OnDblClick;

  protected:
    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

  private:
    void Paint(HDC dc);
    TPanelStyle style_;
    std::string caption_;
    ScopedFont font_;
    ScopedBrush brush_;
};

} // namespace vx::ui
