// Pixels per inch of a window, and measures scaled from the 96 pixels per
// inch every layout of the program is written for.
//
//   const UINT dpi = ui::WindowDpi(hwnd);
//   panel.SetHeight(ui::Scale(34, dpi));
//   ui::ScopedFont font(ui::CreateGuiFont(dpi));
//
// The program is per-monitor aware: a window takes the pixels per inch of the
// monitor it is on, and WM_DPICHANGED tells it when that changes.
#pragma once

#include "ui/Scoped_win.h"

#include <windows.h>

#ifndef WM_DPICHANGED
#define WM_DPICHANGED 0x02E0
#endif

namespace vx::ui {

inline constexpr UINT kBaseDpi = 96;

// A measure of the 96-pixels-per-inch layout at `dpi`.
inline int Scale(int px, UINT dpi) {
    return MulDiv(px, int(dpi), int(kBaseDpi));
}
// A measure from one pixels-per-inch to another.
inline int Rescale(int px, UINT from, UINT to) {
    return from ? MulDiv(px, int(to), int(from)) : px;
}

// The system's pixels per inch (the one the stock fonts and metrics are made
// for): GetDpiForSystem where user32 has it, else the screen's LOGPIXELSY.
UINT SystemDpi();
// A window's pixels per inch: GetDpiForWindow where user32 has it (Windows 10
// 1607 and later), else the system's. A null window gives the system's.
UINT WindowDpi(HWND hwnd);
// What a top-level window has (noted when it is made, and again from
// WM_DPICHANGED): WindowDpi of it and of its children answers that from then
// on (until ForgetWindowDpi) without asking the system, so a window laid out
// for the new pixels per inch makes its new children for them too.
void NoteWindowDpi(HWND topLevel, UINT dpi);
void ForgetWindowDpi(HWND topLevel);

// The stock GUI font's description for `dpi` (the stock font is made for
// the system's pixels per inch); a height of the 96 layout when height96 is
// not 0, a weight and a face name when given.
LOGFONTA GuiLogFont(UINT dpi, int height96 = 0, int weight = 0, const char* face = nullptr);
// An owned font of that description (the caller frees it).
HFONT CreateGuiFont(UINT dpi, int height96 = 0, int weight = 0, const char* face = nullptr);
// The message font of the system's non-client metrics for `dpi`.
HFONT CreateMessageFont(UINT dpi);
// The height of a line of text in `font` (tmHeight).
int FontHeight(HFONT font);

// Moves and sizes every descendant of `root` from one pixels-per-inch to
// another: what a window does to its children on WM_DPICHANGED before its
// own layout code runs again.
void RescaleChildren(HWND root, UINT from, UINT to);
// Gives every descendant of `root` that uses font `from` font `to` instead.
void ReplaceFont(HWND root, HFONT from, HFONT to);

// A dialog whose controls were placed for 96 pixels per inch, made for
// `dpi`: the controls' places and sizes and the client area (about its
// centre) are scaled, and away from the system's pixels per inch the
// controls get a GUI font of their own for `dpi` in place of the stock one.
// The dialog keeps the font it returns (null where the stock font serves)
// for as long as its controls live.
ScopedFont ScaleDialog(HWND dialog, UINT dpi);

// A strip of size x size pictures with alpha (a 32-bit DIB section of either
// row order) resampled to shown x shown pictures, as a top-down 32-bit DIB
// section the caller owns; null when `strip` is not such a bitmap. Each
// picture is averaged over the source pixels it covers (alpha weighted), so
// a larger picture stays smooth and a smaller one keeps its thin lines.
HBITMAP ResampleStrip(HBITMAP strip, int size, int shown);
// The size a picture of `size` pixels at 96 is shown at for `dpi`: the
// nearest whole multiple of a half so that lines stay crisp (16 at 96, 24 at
// 144, 32 at 192).
int IconSize(int size, UINT dpi);

} // namespace vx::ui
