// Services through which the portable core reaches the outside world.
// Each has a Win32 implementation (Platform_win.cpp) and a scripted fake
// (Fakes.h) for native tests. Objects get a TPlatform when they are built.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vx {

using TDateTime = double; // days since 1899-12-30 00:00, fraction = time of day
using TColor = uint32_t;  // red in the low byte; a set high byte marks a system colour

inline constexpr TColor RGBColor(uint8_t r, uint8_t g, uint8_t b) {
    return uint32_t(r) | (uint32_t(g) << 8) | (uint32_t(b) << 16);
}

// Named colours shared by every part of the program.
inline constexpr TColor clBlack = RGBColor(0, 0, 0);
inline constexpr TColor clWhite = RGBColor(255, 255, 255);
inline constexpr TColor clNavy = RGBColor(0, 0, 128);
inline constexpr TColor clRed = RGBColor(255, 0, 0);
inline constexpr TColor clBlue = RGBColor(0, 0, 255);

// System colours (high byte 0xFF, low byte the COLOR_* index).
inline constexpr TColor clWindowText = 0xFF000008;
inline constexpr TColor clWindow = 0xFF000005;
inline constexpr TColor clBtnFace = 0xFF00000F;
inline constexpr TColor clHighlight = 0xFF00000D;
inline constexpr TColor clHighlightText = 0xFF00000E;
inline constexpr TColor clBtnShadow = 0xFF000010;
inline constexpr TColor clBtnHighlight = 0xFF000014;

struct IClock {
    virtual ~IClock() = default;
    virtual TDateTime Now() const = 0;
};

// The user's date and time pictures, in the Windows picture syntax
// ("M/d/yyyy", "h:mm:ss tt"). Formatting is portable (DateTimeFormat.h) so
// the core produces the same text on every platform.
struct ILocale {
    virtual ~ILocale() = default;
    virtual std::string ShortDatePicture() const = 0;
    virtual std::string LongTimePicture() const = 0;
    virtual std::string ShortTimePicture() const = 0;
    virtual std::string TimeAM() const { return "AM"; }
    virtual std::string TimePM() const { return "PM"; }
    // The system's ANSI code page, in which all 8-bit text is held (1252,
    // 1251, 932...).
    virtual unsigned AnsiCodePage() const { return 1252; }
    // Case-sensitive comparison by the locale's collation (<0, 0, >0).
    virtual int CompareStr(const std::string& a, const std::string& b) const {
        return a.compare(b);
    }
};

struct IClipboard {
    virtual ~IClipboard() = default;
    // Empties the clipboard and puts text on it as 8-bit text; false on failure.
    virtual bool SetText(const std::string& text) = 0;
    virtual std::string GetText() = 0;
};

struct IShell {
    virtual ~IShell() = default;
    // Opens a file or address with its default verb. Returns the shell's result
    // (greater than 32 on success).
    virtual intptr_t Open(const std::string& target, const std::string& folder, int showCmd) = 0;
};

struct TSaveDialogParams {
    std::string Title;
    std::string DefaultExt;
    std::string Filter; // "Name (*.ext)|*.ext"
    std::string InitialDir;
    std::string FileName;
};

struct IDialogs {
    virtual ~IDialogs() = default;
    virtual void ShowError(const std::string& text) = 0;       // error icon, OK
    virtual void ShowInformation(const std::string& text) = 0; // information icon, OK
    virtual bool ConfirmYesNo(const std::string& text) = 0;    // question icon, Yes/No
    // Modal input box; returns the answer, or def on cancel.
    virtual std::string InputBox(const std::string& caption, const std::string& prompt,
                                 const std::string& def) = 0;
    // Save-file dialog; true and the chosen name on OK.
    virtual bool SaveFile(const TSaveDialogParams& params, std::string& fileName) = 0;
    // Open-file dialog for an existing file; true and the chosen name on OK.
    virtual bool OpenFile(const TSaveDialogParams& /*params*/, std::string& /*fileName*/) {
        return false;
    }
};

struct IFileSystem {
    virtual ~IFileSystem() = default;
    // The system temporary-files folder, with its trailing backslash.
    virtual std::string TempPath() const = 0;
    // Builds (does not create) a temporary file name in dir from the first three
    // characters of prefix and the unique number.
    virtual std::string TempFileName(const std::string& dir, const std::string& prefix,
                                     unsigned unique) const = 0;
    virtual bool FileExists(const std::string& path) const = 0;
    // Folder of the program file, with its trailing separator.
    virtual std::string ProgramFolder() const = 0;
};

struct IScreen {
    virtual ~IScreen() = default;
    virtual int Width() const = 0;
    virtual int Height() const = 0;
    virtual int PixelsPerInchY() const = 0;
};

struct TFont {
    std::string Name = "MS Sans Serif";
    int Size = 8; // points
    TColor Color = clWindowText;
    bool Bold = false, Italic = false, Underline = false, StrikeOut = false;
    uint8_t Charset = 1; // DEFAULT_CHARSET
    bool operator==(const TFont&) const = default;
};

struct TRealisedFont {
    uint8_t PitchAndFamily = 0; // family class in the high four bits
    uint8_t Charset = 0;
};

struct IFonts {
    virtual ~IFonts() = default;
    virtual TRealisedFont Realise(const TFont& font) const = 0;
    virtual TFont DefaultFont() const = 0;
};

// All services together; components keep a reference to the one they were given.
struct TPlatform {
    IClock* Clock = nullptr;
    ILocale* Locale = nullptr;
    IClipboard* Clipboard = nullptr;
    IShell* Shell = nullptr;
    IDialogs* Dialogs = nullptr;
    IFileSystem* Files = nullptr;
    IScreen* Screen = nullptr;
    IFonts* Fonts = nullptr;
};

} // namespace vx
