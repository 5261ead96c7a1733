// Shows the splash screen or the about box for a while, for screenshots:
//   forms_demo splash|about [seconds]
#include "forms/form_About_win.h"
#include "forms/form_Splash_win.h"
#include "platform/Fakes.h"

#include <windows.h>

#include <cstdlib>
#include <cstring>

using namespace vx;

namespace {
vx::Tfrm_About* gAbout = nullptr;
void CALLBACK CloseAbout(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    gAbout->Close();
}
} // namespace

int main(int argc, char** argv) {
    const bool about = argc > 1 && std::strcmp(argv[1], "about") == 0;
    const UINT seconds = argc > 2 ? UINT(std::atoi(argv[2])) : 10;
    HINSTANCE module = GetModuleHandleA(nullptr);
    if (!about) {
        Tfrm_SplashScreen splash(module);
        splash.Show();
        Sleep(seconds * 1000);
        return 0;
    }
    TMemorySettings store;
    TRegistryHandler settings(store);
    TFakeShell shell;
    Tfrm_About box(module, settings, &shell);
    gAbout = &box;
    SetTimer(nullptr, 0, seconds * 1000, &CloseAbout);
    box.Execute();
    return 0;
}
