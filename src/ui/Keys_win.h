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

} // namespace vx
