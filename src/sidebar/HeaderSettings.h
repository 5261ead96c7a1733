// The side bar's persistent value objects: the look of headers and the size of
// buttons (THeaderSettings), a header's background gradient (TGradient), the
// bitmap tiled over a header's body (TSideBarBitmap) and the image lists the
// bar and its buttons draw from (TSideBarImages).
#pragma once

#include "sidebar/SideBarTypes.h"

#include <vector>

namespace vx {

class THeaderSettings : public sbar::TObject {
  public:
    explicit THeaderSettings(const TFont& ownerFont = TFont{});
    THeaderSettings(const THeaderSettings&) = delete;
    THeaderSettings& operator=(const THeaderSettings&) = delete;

    // Copies the look (alignment, bevels, header colour, both fonts), not the
    // key, layout, scroll or size values, then reports a change.
    void Assign(const THeaderSettings& source);

    sbar::TAlignment Alignment() const { return alignment_; }
    void SetAlignment(sbar::TAlignment v);
    sbar::TBevelCut BevelInner() const { return bevelInner_; }
    void SetBevelInner(sbar::TBevelCut v);
    sbar::TBevelCut BevelOuter() const { return bevelOuter_; }
    void SetBevelOuter(sbar::TBevelCut v);
    int BevelWidth() const { return bevelWidth_; }
    void SetBevelWidth(int v);
    TColor HeaderColor() const { return headerColor_; }
    void SetHeaderColor(TColor v);
    // The owned fonts; changing one in place reports nothing (it shows at the
    // next repaint), setting one copies it in and reports a change.
    TFont& HeaderFont() { return headerFont_; }
    const TFont& HeaderFont() const { return headerFont_; }
    void SetHeaderFont(const TFont& f);
    TFont& HighlightFont() { return highlightFont_; }
    const TFont& HighlightFont() const { return highlightFont_; }
    void SetHighlightFont(const TFont& f);
    bool KeySupport() const { return keySupport_; }
    void SetKeySupport(bool v);
    TGlyphLayout Layout() const { return layout_; }
    void SetLayout(TGlyphLayout v);
    bool AutoScroll() const { return autoScroll_; }
    void SetAutoScroll(bool v);
    // Index 1 LargeWidth, 2 LargeHeight, 3 SmallHeight. Reading another index
    // gives -1; writing one is a range error.
    int Size(int index) const;
    void SetSize(int index, int value);
    int LargeWidth() const { return Size(1); }
    void SetLargeWidth(int v) { SetSize(1, v); }
    int LargeHeight() const { return Size(2); }
    void SetLargeHeight(int v) { SetSize(2, v); }
    int SmallHeight() const { return Size(3); }
    void SetSmallHeight(int v) { SetSize(3, v); }
    TButtonStyle ButtonStyle() const { return buttonStyle_; }
    void SetButtonStyle(TButtonStyle v);

    sbar::TNotifyEvent OnChange;
    void Changed();

  private:
    template <class T> void Store(T& field, const T& value);

    sbar::TAlignment alignment_ = sbar::TAlignment::taCenter;
    sbar::TBevelCut bevelInner_ = sbar::TBevelCut::bvNone;
    sbar::TBevelCut bevelOuter_ = sbar::TBevelCut::bvRaised;
    int bevelWidth_ = 1;
    TColor headerColor_ = clBtnFace;
    TFont headerFont_, highlightFont_;
    bool keySupport_ = false;
    TGlyphLayout layout_ = TGlyphLayout::glGlyphLeft;
    bool autoScroll_ = true;
    int largeWidth_ = 60, largeHeight_ = 60, smallHeight_ = 20;
    TButtonStyle buttonStyle_ = TButtonStyle::bsLarge;
};

class TGradient : public sbar::TObject {
  public:
    TGradient() = default;
    TGradient(const TGradient&) = delete;
    TGradient& operator=(const TGradient&) = delete;

    void Assign(const TGradient& source); // all four values, then a change
    TGradientType GradientType() const { return type_; }
    void SetGradientType(TGradientType v);
    // Index 1 StartColor, 2 EndColor; setting reports a change even when equal.
    TColor Color(int index) const { return index == 1 ? start_ : end_; }
    void SetColor(int index, TColor v);
    TColor StartColor() const { return start_; }
    void SetStartColor(TColor v) { SetColor(1, v); }
    TColor EndColor() const { return end_; }
    void SetEndColor(TColor v) { SetColor(2, v); }
    TBackStyle BackStyle() const { return backStyle_; }
    void SetBackStyle(TBackStyle v);

    sbar::TNotifyEvent OnChange;
    void Changed();

  private:
    TGradientType type_ = TGradientType::gtt2b;
    TColor start_ = clBlack;
    TColor end_ = clBlue;
    TBackStyle backStyle_ = TBackStyle::bsNormal;
};

// A bitmap held as plain pixels (TColor, row by row from the top) so the model
// stays portable; the window layer turns it into a GDI bitmap when tiling.
class TSideBarBitmap : public sbar::TObject {
  public:
    TSideBarBitmap() = default;
    TSideBarBitmap(const TSideBarBitmap&) = delete;
    TSideBarBitmap& operator=(const TSideBarBitmap&) = delete;

    void Assign(const TSideBarBitmap& source);
    void SetPixels(int width, int height, std::vector<TColor> pixels);
    int Width() const { return width_; }
    int Height() const { return height_; }
    bool Empty() const { return width_ <= 0 || height_ <= 0; }
    const std::vector<TColor>& Pixels() const { return pixels_; }
    // Grows with every change, so a painter can tell its cached copy is stale.
    unsigned Generation() const { return generation_; }

    sbar::TNotifyEvent OnChange;
    void Changed();

  private:
    int width_ = 0, height_ = 0;
    std::vector<TColor> pixels_;
    unsigned generation_ = 0;
};

// An image list as the bar sees it: a window-system handle (an HIMAGELIST on
// Windows) and the size of its images. Users of the list register a change
// link; they are told when the images change and when the list goes away.
class TSideBarImages : public sbar::TObject {
  public:
    struct TChangeLink {
        std::function<void()> OnChange;
        std::function<void()> OnFree;
    };

    TSideBarImages(uintptr_t handle, int width, int height)
        : handle_(handle), width_(width), height_(height) {}
    ~TSideBarImages() override;
    TSideBarImages(const TSideBarImages&) = delete;
    TSideBarImages& operator=(const TSideBarImages&) = delete;

    uintptr_t Handle() const { return handle_; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    // Call after changing the images behind the handle.
    void Changed();
    // Another list behind the images (pictures of another size); users are told.
    void Reset(uintptr_t handle, int width, int height);

    void RegisterChanges(TChangeLink* link);
    void UnRegisterChanges(TChangeLink* link);

  private:
    uintptr_t handle_;
    int width_, height_;
    std::vector<TChangeLink*> links_;
};

} // namespace vx
