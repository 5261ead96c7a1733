#include "ui/Keys_win.h"

namespace vx {

unsigned HeldModifiers() {
    unsigned m = 0;
    if (GetKeyState(VK_SHIFT) < 0) m |= kmShift;
    if (GetKeyState(VK_CONTROL) < 0) m |= kmCtrl;
    if (GetKeyState(VK_MENU) < 0) m |= kmAlt;
    return m;
}

bool TKeyFilter::Take(const TKeyEvent& onKey, UINT msg, WPARAM wParam) {
    if (msg == WM_KEYDOWN) {
        eatChar_ = onKey && onKey(WORD(wParam), HeldModifiers());
        return eatChar_;
    }
    if (msg == WM_CHAR && eatChar_) {
        eatChar_ = false;
        return true;
    }
    return false;
}

} // namespace vx
