// The program's pictures from its resources (res/art.rc, ids in
// res/resource_ids.h): image lists, the export type bitmaps and the icon.
//
//   HIMAGELIST debug = LoadArtImageList(module, IDB_DEBUGIMAGES, 16);   // DebugImages
//   HIMAGELIST large = LoadArtImageList(module, IDB_SIDE_LARGE, 32);    // Image_Side_Large
//   HIMAGELIST small = LoadArtImageList(module, IDB_SIDE_SMALL, 16);    // Image_Side_Small
//   HBITMAP html = LoadArtBitmap(module, "XTHTML");  DrawArtBitmap(dc, x, y, html);
//   HICON icon = LoadProgramIcon(module, 16);        // tray; 32 or 48 for windows
//
// The caller owns what it gets (ImageList_Destroy, DeleteObject, DestroyIcon).
#pragma once

#include <windows.h>
#include <commctrl.h>

namespace vx {

// A strip of size x size images with alpha as a 32-bit image list, with a
// mask made from the alpha for drawing without alpha support; with `shown`
// (not 0) the pictures are resampled to shown x shown pixels. Null when the
// bitmap is missing.
HIMAGELIST LoadArtImageList(HINSTANCE module, int bitmapId, int size, int shown = 0);

// A 32-bit bitmap resource as a premultiplied DIB section, ready for
// DrawArtBitmap (AlphaBlend); null when missing.
HBITMAP LoadArtBitmap(HINSTANCE module, const char* name);
HBITMAP LoadArtBitmap(HINSTANCE module, int id);
// Draws a bitmap of LoadArtBitmap at its own size, blending its alpha.
bool DrawArtBitmap(HDC dc, int x, int y, HBITMAP bitmap);

// The program icon at size x size pixels (16, 24, 32, 48).
HICON LoadProgramIcon(HINSTANCE module, int size);

} // namespace vx
