// The program's modal boxes (message boxes, the input box, the save dialog)
// and every service together as the program uses them. They live in the
// window layer because the input box is one of its windows.
#pragma once

#include "platform/Platform_win.h"

#include <windows.h>

#include <string>

namespace vx {

// Message boxes carry the application title; every box is owned by Owner
// (the main window once it exists) so it stays in front of it.
struct TWinDialogs : IDialogs {
    HWND Owner = nullptr;
    std::string Title = "vxDebugger for Delphi";
    void ShowError(const std::string& text) override;
    void ShowInformation(const std::string& text) override;
    bool ConfirmYesNo(const std::string& text) override;
    std::string InputBox(const std::string& caption, const std::string& prompt,
                         const std::string& def) override;
    bool SaveFile(const TSaveDialogParams& params, std::string& fileName) override;
    bool OpenFile(const TSaveDialogParams& params, std::string& fileName) override;
};

// Every service together, as the program uses them.
struct TWinPlatform {
    TWinClock Clock;
    TWinLocale Locale;
    TWinClipboard Clipboard;
    TWinShell Shell;
    TWinDialogs Dialogs;
    TWinFileSystem Files;
    TWinScreen Screen;
    TWinFonts Fonts;
    // The window that owns message boxes, dialogs and the clipboard.
    void SetOwner(HWND owner) { Clipboard.Owner = Shell.Owner = Dialogs.Owner = owner; }
    TPlatform Services() {
        return TPlatform{&Clock, &Locale, &Clipboard, &Shell, &Dialogs, &Files, &Screen, &Fonts};
    }
};

} // namespace vx
