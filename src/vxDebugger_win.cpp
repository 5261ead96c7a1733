// The viewer's entry: the whole start-up order, message loop and shut-down
// live in RunViewer.
#include "mainwindow/form_MainWindow_win.h"

#include <windows.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    return vx::RunViewer(instance);
}
