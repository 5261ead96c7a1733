// An edit or memo as a thin window of the widget layer.
#pragma once

#include "ui/Keys_win.h"
#include "ui/Window_win.h"

#include <functional>

namespace vx {

struct TEditBoxStyle {
    int Left = 0, Top = 0, Width = 121, Height = 21;
    bool MultiLine = false;  // a memo: lines, Enter breaks one, it scrolls down by itself
    bool ScrollBars = false; // a memo's horizontal and vertical scroll bars
    bool ReadOnly = false;   // still focusable, selectable and copyable
    bool AutoHScroll = true; // a line scrolls sideways rather than stopping at the edge
    bool TabStop = false;
    bool Border = true;   // the sunken client edge
    size_t MaxLength = 0; // characters the user may type; 0 leaves the control's own
};

// An EDIT control; multi-line, a memo. A double click raises OnDblClick; a key
// goes to OnKey before the edit sees it.
class TEditBox : public ui::TWindow {
  public:
    bool Create(ui::TWindow* parent, const TEditBoxStyle& style);
    std::function<void(TEditBox& sender)> OnDblClick;
    TKeyEvent OnKey;

  protected:
    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

  private:
    TKeyFilter keys_;
};

} // namespace vx
