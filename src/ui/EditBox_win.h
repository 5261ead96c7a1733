// An edit or memo as a thin window of the widget layer.
#pragma once

#include "ui/Keys_win.h"
#include "ui/Window_win.h"

#include <functional>

namespace vx {

// An EDIT control; with ES_MULTILINE a memo. A double click raises OnDblClick;
// a key goes to OnKey before the edit sees it.
class TEditBox : public ui::TWindow {
  public:
    bool Create(ui::TWindow* parent, DWORD style, DWORD exStyle, int left, int top, int width,
                int height);
    std::function<void(TEditBox& sender)> OnDblClick;
    TKeyEvent OnKey;

  protected:
    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

  private:
    bool eatChar_ = false; // the character of a key that OnKey took
};

} // namespace vx
