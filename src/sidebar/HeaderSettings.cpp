#include "sidebar/HeaderSettings.h"

#include "platform/Errors.h"

#include <algorithm>

namespace vx {

THeaderSettings::THeaderSettings(const TFont& ownerFont)
    : headerFont_(ownerFont), highlightFont_(ownerFont) {}

template <class T> void THeaderSettings::Store(T& field, const T& value) {
    if (field == value) return;
    field = value;
    Changed();
}

void THeaderSettings::Changed() {
    if (OnChange) OnChange(this);
}

void THeaderSettings::Assign(const THeaderSettings& s) {
    if (&s == this) return;
    alignment_ = s.alignment_;
    bevelInner_ = s.bevelInner_;
    bevelOuter_ = s.bevelOuter_;
    bevelWidth_ = s.bevelWidth_;
    headerColor_ = s.headerColor_;
    headerFont_ = s.headerFont_;
    highlightFont_ = s.highlightFont_;
    Changed();
}

void THeaderSettings::SetAlignment(sbar::TAlignment v) {
    Store(alignment_, v);
}
void THeaderSettings::SetBevelInner(sbar::TBevelCut v) {
    Store(bevelInner_, v);
}
void THeaderSettings::SetBevelOuter(sbar::TBevelCut v) {
    Store(bevelOuter_, v);
}
void THeaderSettings::SetBevelWidth(int v) {
    Store(bevelWidth_, v);
}
void THeaderSettings::SetHeaderColor(TColor v) {
    Store(headerColor_, v);
}
void THeaderSettings::SetKeySupport(bool v) {
    Store(keySupport_, v);
}
void THeaderSettings::SetLayout(TGlyphLayout v) {
    Store(layout_, v);
}
void THeaderSettings::SetAutoScroll(bool v) {
    Store(autoScroll_, v);
}
void THeaderSettings::SetButtonStyle(TButtonStyle v) {
    Store(buttonStyle_, v);
}

void THeaderSettings::SetHeaderFont(const TFont& f) {
    if (&f == &headerFont_) return;
    headerFont_ = f;
    Changed();
}

void THeaderSettings::SetHighlightFont(const TFont& f) {
    if (&f == &highlightFont_) return;
    highlightFont_ = f;
    Changed();
}

int THeaderSettings::Size(int index) const {
    switch (index) {
    case 1:
        return largeWidth_;
    case 2:
        return largeHeight_;
    case 3:
        return smallHeight_;
    default:
        return -1;
    }
}

void THeaderSettings::SetSize(int index, int value) {
    switch (index) {
    case 1:
        return Store(largeWidth_, value);
    case 2:
        return Store(largeHeight_, value);
    case 3:
        return Store(smallHeight_, value);
    default:
        throw ERangeError("Header settings size index out of range");
    }
}

void TGradient::Changed() {
    if (OnChange) OnChange(this);
}

void TGradient::Assign(const TGradient& g) {
    type_ = g.type_;
    start_ = g.start_;
    end_ = g.end_;
    backStyle_ = g.backStyle_;
    Changed();
}

void TGradient::SetGradientType(TGradientType v) {
    if (type_ == v) return;
    type_ = v;
    Changed();
}

void TGradient::SetColor(int index, TColor v) {
    (index == 1 ? start_ : end_) = v;
    Changed();
}

void TGradient::SetBackStyle(TBackStyle v) {
    if (backStyle_ == v) return;
    backStyle_ = v;
    Changed();
}

void TSideBarBitmap::Changed() {
    ++generation_;
    if (OnChange) OnChange(this);
}

void TSideBarBitmap::Assign(const TSideBarBitmap& b) {
    if (&b == this) return;
    SetPixels(b.width_, b.height_, b.pixels_);
}

void TSideBarBitmap::SetPixels(int width, int height, std::vector<TColor> pixels) {
    if (width <= 0 || height <= 0) {
        width = height = 0;
        pixels.clear();
    }
    pixels.resize(size_t(width) * size_t(height));
    width_ = width;
    height_ = height;
    pixels_ = std::move(pixels);
    Changed();
}

TSideBarImages::~TSideBarImages() {
    // Users drop their reference; a link may unregister itself meanwhile.
    auto links = links_;
    links_.clear();
    for (TChangeLink* l : links)
        if (l->OnFree) l->OnFree();
}

void TSideBarImages::Changed() {
    auto links = links_;
    for (TChangeLink* l : links)
        if (l->OnChange) l->OnChange();
}

void TSideBarImages::Reset(uintptr_t handle, int width, int height) {
    handle_ = handle;
    width_ = width;
    height_ = height;
    Changed();
}

void TSideBarImages::RegisterChanges(TChangeLink* link) {
    if (std::find(links_.begin(), links_.end(), link) == links_.end()) links_.push_back(link);
}

void TSideBarImages::UnRegisterChanges(TChangeLink* link) {
    links_.erase(std::remove(links_.begin(), links_.end(), link), links_.end());
}

} // namespace vx
