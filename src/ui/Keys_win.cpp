#include "ui/Keys_win.h"

namespace vx {

unsigned HeldModifiers() {
    unsigned m = 0;
    if (GetKeyState(VK_SHIFT) < 0) m |= kmShift;
    if (GetKeyState(VK_CONTROL) < 0) m |= kmCtrl;
    if (GetKeyState(VK_MENU) < 0) m |= kmAlt;
    return m;
}

} // namespace vx
