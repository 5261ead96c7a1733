#include "sidebar/OutlookControl.h"

#include <algorithm>

namespace vx {

TOutlookControl::TOutlookControl(TOutlookControl* parent) : parent_(parent) {
    if (parent) font_ = parent->font_;
}

TOutlookControl::~TOutlookControl() {
    DestroyChildren();
    view_.reset();
}

void TOutlookControl::DestroyChildren() {
    // Last created first, as a window tree is torn down.
    while (!children_.empty()) {
        std::unique_ptr<TOutlookControl> c = std::move(children_.back());
        children_.pop_back();
        tabList_.erase(std::remove(tabList_.begin(), tabList_.end(), c.get()), tabList_.end());
        c.reset();
    }
}

std::vector<TOutlookControl*> TOutlookControl::Controls() const {
    std::vector<TOutlookControl*> out;
    for (auto& c : children_)
        out.push_back(c.get());
    return out;
}

void TOutlookControl::AdoptChild(std::unique_ptr<TOutlookControl> child) {
    TOutlookControl* c = child.get();
    children_.push_back(std::move(child));
    if (c->InTabList()) tabList_.push_back(c);
    if (view_) view_->ChildAdded(*c);
}

std::unique_ptr<TOutlookControl> TOutlookControl::ReleaseChild(TOutlookControl* child) {
    auto it =
        std::find_if(children_.begin(), children_.end(), [&](auto& c) { return c.get() == child; });
    if (it == children_.end()) return nullptr;
    std::unique_ptr<TOutlookControl> c = std::move(*it);
    children_.erase(it);
    tabList_.erase(std::remove(tabList_.begin(), tabList_.end(), child), tabList_.end());
    return c;
}

int TOutlookControl::TabOrder() const {
    if (!parent_) return -1;
    auto& l = parent_->tabList_;
    auto it = std::find(l.begin(), l.end(), this);
    return it == l.end() ? -1 : int(it - l.begin());
}

void TOutlookControl::SetTabOrder(int v) {
    int cur = TabOrder();
    if (cur < 0) return;
    auto& l = parent_->tabList_;
    v = std::clamp(v, 0, int(l.size()) - 1);
    if (v == cur) return;
    l.erase(l.begin() + cur);
    l.insert(l.begin() + v, this);
}

bool TOutlookControl::CanResize(int&, int&) {
    return true;
}

void TOutlookControl::SetBounds(int left, int top, int width, int height) {
    bool sized = width != width_ || height != height_;
    if (sized && !CanResize(width, height)) {
        width = width_;
        height = height_;
        sized = false;
    }
    if (left == left_ && top == top_ && !sized) return;
    left_ = left;
    top_ = top;
    width_ = width;
    height_ = height;
    ReportBounds();
    if (sized) {
        Resized();
        if (OnResize) OnResize(this);
    }
}

void TOutlookControl::SyncBounds(int left, int top, int width, int height) {
    bool sized = width != width_ || height != height_;
    left_ = left;
    top_ = top;
    width_ = width;
    height_ = height;
    if (sized) {
        Resized();
        if (OnResize) OnResize(this);
    }
}

void TOutlookControl::ReportBounds() {
    if (view_) view_->BoundsChanged();
}

void TOutlookControl::SetVisible(bool v) {
    if (visible_ == v) return;
    visible_ = v;
    ReportBounds();
    VisibleChanged();
}

void TOutlookControl::SetEnabled(bool v) {
    if (enabled_ == v) return;
    enabled_ = v;
    if (view_) view_->EnabledChanged();
    EnabledChanged();
}

void TOutlookControl::SetCaption(const std::string& v) {
    if (caption_ == v) return;
    caption_ = v;
    if (view_) view_->TextChanged();
    CaptionChanged();
}

TColor TOutlookControl::Color() const {
    return parentColor_ && parent_ ? parent_->Color() : color_;
}

void TOutlookControl::SetColor(TColor v) {
    if (!parentColor_ && color_ == v) return;
    color_ = v;
    parentColor_ = false;
    ColorChanged();
}

void TOutlookControl::SetParentColor(bool v) {
    if (parentColor_ == v) return;
    if (!v) color_ = Color();
    parentColor_ = v;
    ColorChanged();
}

void TOutlookControl::ColorChanged() {
    Invalidate();
    for (auto& c : children_)
        if (c->parentColor_) c->ColorChanged();
}

void TOutlookControl::SetFont(const TFont& f) {
    if (&f == &font_) return;
    font_ = f;
    Invalidate();
}

bool TOutlookControl::Focused() const {
    return view_ && view_->Focused();
}

bool TOutlookControl::CanFocus() const {
    return visible_ && enabled_;
}

void TOutlookControl::SetFocus() {
    if (view_) view_->SetFocus();
}

void TOutlookControl::Invalidate() {
    if (view_) view_->Invalidate();
}

void TOutlookControl::MouseEnter(int, int) {}
void TOutlookControl::MouseLeave() {}

void TOutlookControl::MouseMove(int x, int y) {
    if (OnMouseMove) OnMouseMove(this, x, y);
}

void TOutlookControl::MouseDown(sbar::TMouseButton button, int x, int y) {
    if (OnMouseDown) OnMouseDown(this, button, x, y);
}

void TOutlookControl::MouseUp(sbar::TMouseButton button, int x, int y) {
    if (OnMouseUp) OnMouseUp(this, button, x, y);
}

void TOutlookControl::DblClick() {
    if (OnDblClick) OnDblClick(this);
}

bool TOutlookControl::KeyDown(int key) {
    if (OnKeyDown) OnKeyDown(this, key);
    return key == 0;
}

bool TOutlookControl::DialogChar(char ch, bool alt) {
    // Offered to the children in creation order until one takes it.
    for (TOutlookControl* c : Controls())
        if (c->Showing() && c->DialogChar(ch, alt)) return true;
    return false;
}

void TOutlookControl::FocusChanged(bool focused) {
    Invalidate();
    const sbar::TNotifyEvent& e = focused ? OnEnter : OnExit;
    if (e) e(this);
}

void TOutlookControl::Click() {
    // A copy, since the handler may free this control and its events with it.
    sbar::TNotifyEvent handler = OnClick;
    if (handler) handler(this);
}

} // namespace vx
