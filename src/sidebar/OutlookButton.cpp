#include "platform/Errors.h"
#include "sidebar/vxOutlookBar.h"

namespace vx {

using namespace sbar;

TScrollButton::TScrollButton(TvxOutlookBarHeader* header, TArrowStyle style)
    : TOutlookControl(header), header_(header), arrowStyle_(style) {
    SetVisible(false);
    TabStop = false;
}

void TScrollButton::SetArrowStyle(TArrowStyle v) {
    if (arrowStyle_ == v) return;
    arrowStyle_ = v;
    Invalidate();
}

void TScrollButton::SetFlat(bool v) {
    if (flat_ == v) return;
    flat_ = v;
    Invalidate();
}

void TScrollButton::MouseEnter(int, int) {
    hot_ = true;
    down_ = clicked_;
    Invalidate();
}

void TScrollButton::MouseLeave() {
    hot_ = down_ = false;
    Invalidate();
}

void TScrollButton::MouseDown(TMouseButton button, int x, int y) {
    if (button == TMouseButton::mbLeft) {
        down_ = clicked_ = true;
        Invalidate();
    }
    TOutlookControl::MouseDown(button, x, y);
}

void TScrollButton::MouseUp(TMouseButton button, int x, int y) {
    TOutlookControl::MouseUp(button, x, y);
    if (button != TMouseButton::mbLeft || !clicked_) return;
    clicked_ = down_ = false;
    Invalidate();
    // A speed button clicks when released over itself; one click, one step.
    if (ClientRect().Contains(x, y)) Click();
}

void TScrollButton::Click() {
    TOutlookControl::Click();
    header_->Change(*this);
}

TOutlookButton::TOutlookButton(TvxOutlookBarHeader* header)
    : TOutlookControl(header), header_(header) {
    SetBounds(0, 0, 60, 60);
    SetParentColor(true);
    TabStop = true;
    for (auto* link : {&largeLink_, &smallLink_})
        link->OnChange = [this] { Invalidate(); };
    largeLink_.OnFree = [this] {
        large_ = nullptr;
        Invalidate();
    };
    smallLink_.OnFree = [this] {
        small_ = nullptr;
        Invalidate();
    };
}

TOutlookButton::~TOutlookButton() {
    if (large_) large_->UnRegisterChanges(&largeLink_);
    if (small_) small_->UnRegisterChanges(&smallLink_);
}

void TOutlookButton::SetButtonStyle(TButtonStyle v) {
    if (style_ == v) return;
    style_ = v;
    Invalidate();
}

void TOutlookButton::SetImages(TSideBarImages*& slot, TSideBarImages::TChangeLink& link,
                               TSideBarImages* v) {
    if (slot == v) return;
    if (slot) slot->UnRegisterChanges(&link);
    slot = v;
    if (slot) slot->RegisterChanges(&link);
    Invalidate();
}

void TOutlookButton::SetLargeImages(TSideBarImages* v) {
    SetImages(large_, largeLink_, v);
}
void TOutlookButton::SetSmallImages(TSideBarImages* v) {
    SetImages(small_, smallLink_, v);
}

void TOutlookButton::SetImageIndex(int v) {
    if (imageIndex_ == v) return;
    imageIndex_ = v;
    Invalidate();
}

void TOutlookButton::SetTransparent(bool v) {
    if (transparent_ == v) return;
    transparent_ = v;
    Invalidate();
    header_->SortButtons();
}

void TOutlookButton::SetAutoSize(bool v) {
    if (autoSize_ == v) return;
    autoSize_ = v;
    // Sized from the settings the header really uses, so a button switched back
    // to AutoSize matches its neighbours at once.
    if (header_->OutlookBar()) header_->Change(header_->EffectiveSettings());
}

void TOutlookButton::SetButtonIndex(int v) {
    if (v < -1 || v > 32767) throw ERangeError("ButtonIndex out of range");
    SetTabOrder(v);
    header_->SortButtons();
}

void TOutlookButton::SetScrolledOut(bool v) {
    if (scrolledOut_ == v) return;
    scrolledOut_ = v;
    if (v) hot_ = pressed_ = false;
    ReportBounds();
}

bool TOutlookButton::CanResize(int&, int&) {
    return allowResize_ || !autoSize_;
}

bool TOutlookButton::CanFocus() const {
    TvxOutlookBar* bar = header_->OutlookBar();
    return bar && header_->EffectiveSettings().KeySupport() && header_->IsActive() &&
           !scrolledOut_ && TOutlookControl::CanFocus();
}

void TOutlookButton::MouseEnter(int, int) {
    hot_ = true;
    Invalidate();
}

void TOutlookButton::MouseLeave() {
    hot_ = pressed_ = false;
    Invalidate();
}

void TOutlookButton::MouseDown(TMouseButton button, int x, int y) {
    if (button == TMouseButton::mbLeft) {
        pressed_ = clicked_ = true;
        Invalidate();
    }
    TOutlookControl::MouseDown(button, x, y);
}

void TOutlookButton::MouseUp(TMouseButton button, int x, int y) {
    if (button != TMouseButton::mbLeft) return TOutlookControl::MouseUp(button, x, y);
    bool click = clicked_ && ClientRect().Contains(x, y);
    pressed_ = clicked_ = false;
    if (CanFocus()) SetFocus();
    Invalidate();
    TOutlookControl::MouseUp(button, x, y);
    if (click) Click(); // last: the handler may delete this button
}

bool TOutlookButton::KeyDown(int key) {
    if (key == kKeyReturn) {
        Click();
        return true;
    }
    return TOutlookControl::KeyDown(key);
}

bool TOutlookButton::DialogChar(char ch, bool alt) {
    if (IsAccel(ch, Caption()) && CanFocus() && (Focused() || alt)) {
        Click();
        return true;
    }
    return false;
}

} // namespace vx
