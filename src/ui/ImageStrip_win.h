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

// The same strip kept premultiplied in a memory DC of its own, for pictures
// drawn many times a second (the rows of a list): drawing one is a single
// AlphaBlend. ImageList_Draw makes a DC and a bitmap for every picture it
// draws, and under Wine each of those asks the server for the display
// settings twice.
class TAlphaStrip {
  public:
    TAlphaStrip() = default;
    ~TAlphaStrip();
    TAlphaStrip(const TAlphaStrip&) = delete;
    TAlphaStrip& operator=(const TAlphaStrip&) = delete;
    // As LoadStripImageList; false when the bitmap is missing or no such strip.
    bool Load(HINSTANCE module, int bitmapId, int size, int shown = 0);
    int Size() const { return size_; }
    int Count() const { return count_; }
    // Picture `index` with its top left at x, y; false (nothing drawn) when
    // there is no such picture.
    bool Draw(HDC dc, int index, int x, int y) const;

  private:
    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ old_ = nullptr;
    int size_ = 0, count_ = 0;
};

} // namespace vx::ui
