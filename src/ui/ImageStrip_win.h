// Image lists made from the program's picture strips: 32-bit bitmaps with
// alpha, size x size pictures side by side.
#pragma once

#include <windows.h>
#include <commctrl.h>

namespace vx::ui {

// An alpha strip of size x size pictures as a 32-bit image list, with a mask
// made from the alpha for drawing without alpha support; with `greyed` the
// pictures are desaturated and faded (a disabled button's look); with `shown`
// (not 0) they are resampled to shown x shown pixels. Null when the bitmap is
// missing or no such strip. The caller owns the list.
HIMAGELIST LoadStripImageList(HINSTANCE module, int bitmapId, int size, bool greyed = false,
                              int shown = 0);

} // namespace vx::ui
