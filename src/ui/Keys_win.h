// The modifier keys held with a key, and the key handlers of the widgets.
#pragma once

#include <windows.h>

#include <functional>

namespace vx {

// The modifier keys held with a key, as the section's key handlers get them.
enum TKeyModifier : unsigned { kmShift = 1, kmCtrl = 2, kmAlt = 4 };
unsigned HeldModifiers();
// A key handler: true when it took the key.
using TKeyEvent = std::function<bool(WORD key, unsigned modifiers)>;

// Gives a control's keys to its key handler before the control sees them. A
// key the handler takes in WM_KEYDOWN is swallowed, and so is the WM_CHAR
// that follows it, so a taken key (Tab, a section's shortcut) does not also
// type its character or start the control's own search.
class TKeyFilter {
  public:
    // True when msg was taken: the window procedure then returns 0.
    bool Take(const TKeyEvent& onKey, UINT msg, WPARAM wParam);

  private:
    bool eatChar_ = false; // the character of the last key the handler took
};

} // namespace vx
