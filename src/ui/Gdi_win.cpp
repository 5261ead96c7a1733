#include "ui/Gdi_win.h"

namespace vx {

void FillParentBackground(HWND child, HDC dc, const RECT& area) {
    auto brush = reinterpret_cast<HBRUSH>(SendMessageA(GetParent(child), WM_CTLCOLORSTATIC,
                                                       reinterpret_cast<WPARAM>(dc),
                                                       reinterpret_cast<LPARAM>(child)));
    FillRect(dc, &area, brush ? brush : GetSysColorBrush(COLOR_BTNFACE));
}

TGdiFont::TGdiFont(const TFont& font, int heightInPixels) {
    Get(font, heightInPixels);
}

TGdiFont::~TGdiFont() = default;

HFONT TGdiFont::Get(const TFont& font, int heightInPixels) {
    if (handle_ && font == font_ && heightInPixels == pixels_) return handle_;
    int height = -heightInPixels;
    if (heightInPixels == 0)
        height = -MulDiv(font.Size, GetDeviceCaps(ui::ScopedGetDC(nullptr), LOGPIXELSY), 72);
    handle_.Reset(CreateFontA(height, 0, 0, 0, font.Bold ? FW_BOLD : FW_NORMAL, font.Italic,
                              font.Underline, font.StrikeOut, font.Charset, OUT_DEFAULT_PRECIS,
                              CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE,
                              font.Name.c_str()));
    font_ = font;
    pixels_ = heightInPixels;
    return handle_;
}

HINSTANCE ThisModule() {
    HMODULE module = nullptr;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                           GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCSTR>(&ThisModule), &module);
    return module;
}

} // namespace vx
