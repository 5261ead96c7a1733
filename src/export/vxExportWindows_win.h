// Pieces shared by the export component's two windows.
#pragma once

#include <windows.h>

namespace vx::export_ui {

// Registers a window class of the program once, on the dialog face colour.
// The top-left corner of a width x height window centred on the screen.
POINT CentredOnScreen(int width, int height);
// The standard GUI font, on one control.
void SetGuiFont(HWND control);

} // namespace vx::export_ui
