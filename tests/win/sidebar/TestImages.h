// Image lists of plain coloured squares, for tests and the demo.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <initializer_list>

namespace vxtest {

// A size x size square in `fill` with a one-pixel black frame.
inline HBITMAP SquareBitmap(int size, COLORREF fill) {
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bmp = CreateCompatibleBitmap(screen, size, size);
    HGDIOBJ old = SelectObject(dc, bmp);
    RECT r{0, 0, size, size};
    HBRUSH black = CreateSolidBrush(RGB(0, 0, 0));
    FillRect(dc, &r, black);
    DeleteObject(black);
    InflateRect(&r, -1, -1);
    HBRUSH b = CreateSolidBrush(fill);
    FillRect(dc, &r, b);
    DeleteObject(b);
    SelectObject(dc, old);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    return bmp;
}

inline HIMAGELIST SquareImages(int size, std::initializer_list<COLORREF> colours) {
    HIMAGELIST list = ImageList_Create(size, size, ILC_COLOR24, int(colours.size()), 0);
    for (COLORREF c : colours) {
        HBITMAP bmp = SquareBitmap(size, c);
        ImageList_Add(list, bmp, nullptr);
        DeleteObject(bmp);
    }
    return list;
}

} // namespace vxtest
