// A picture decoded by GDI+ from a raw (RCDATA) resource: the splash JPEG and
// the about box's animated GIF.
#pragma once

#include <windows.h>

#include <vector>

namespace vx {

class TGdiPlusImage {
  public:
    TGdiPlusImage(HINSTANCE module, int resourceId);
    ~TGdiPlusImage();
    TGdiPlusImage(const TGdiPlusImage&) = delete;
    TGdiPlusImage& operator=(const TGdiPlusImage&) = delete;

    bool Loaded() const { return image_ != nullptr; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    // Frames of an animation (1 for a still picture) and their delays.
    int FrameCount() const { return int(delays_.size()); }
    int FrameDelay(int frame) const; // milliseconds
    void SelectFrame(int frame);
    // Draws the selected frame into the rectangle.
    void Draw(HDC dc, int x, int y, int width, int height) const;

  private:
    void* image_ = nullptr;  // GpImage
    void* stream_ = nullptr; // IStream the image decodes from
    int width_ = 0, height_ = 0;
    std::vector<int> delays_;
    bool animated_ = false;
};

} // namespace vx
