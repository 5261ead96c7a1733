// The Win32 implementations of the platform services.
#pragma once

#include "Platform.h"

#include <windows.h>

#include <string>

namespace vx {

struct TWinClock : IClock {
    TDateTime Now() const override;
};

// Pictures come from the user's locale each time they are asked for, so a
// change in the control panel shows up without a restart.
struct TWinLocale : ILocale {
    std::string ShortDatePicture() const override;
    std::string LongTimePicture() const override;
    std::string ShortTimePicture() const override;
    std::string TimeAM() const override;
    std::string TimePM() const override;
    unsigned AnsiCodePage() const override { return GetACP(); }
    int CompareStr(const std::string& a, const std::string& b) const override;
};

struct TWinClipboard : IClipboard {
    HWND Owner = nullptr;
    bool SetText(const std::string& text) override;
    std::string GetText() override;
};

struct TWinShell : IShell {
    HWND Owner = nullptr;
    intptr_t Open(const std::string& target, const std::string& folder, int showCmd) override;
};

struct TWinFileSystem : IFileSystem {
    std::string TempPath() const override;
    std::string TempFileName(const std::string& dir, const std::string& prefix,
                             unsigned unique) const override;
    bool FileExists(const std::string& path) const override;
    std::string ProgramFolder() const override;
};

struct TWinScreen : IScreen {
    int Width() const override;
    int Height() const override;
    int PixelsPerInchY() const override;
};

struct TWinFonts : IFonts {
    TRealisedFont Realise(const TFont& font) const override;
    TFont DefaultFont() const override;
};

// Font handle for a TFont at the screen's resolution; the caller deletes it.
HFONT CreateFontFor(const TFont& font);

} // namespace vx
