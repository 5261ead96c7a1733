#include "platform/Errors.h"
#include "sidebar/vxOutlookBar.h"

#include <algorithm>

namespace vx {

using namespace sbar;

TvxOutlookBarHeader::TvxOutlookBarHeader(TOutlookControl* parent)
    : TOutlookControl(parent), settings_(Font()) {
    SetColor(clGray);
    TabStop = true;
    TvxOutlookBar* bar = OutlookBar();
    int sw = bar ? bar->ScrollButtonWidth() : 17, sh = bar ? bar->ScrollButtonHeight() : 17;
    auto up = std::make_unique<TScrollButton>(this, TArrowStyle::asUp);
    auto down = std::make_unique<TScrollButton>(this, TArrowStyle::asDown);
    up_ = up.get();
    down_ = down.get();
    up_->SetBounds(0, 0, sw, sh);
    down_->SetBounds(0, 0, sw, sh);
    AdoptChild(std::move(up));
    AdoptChild(std::move(down));
    gradient_.OnChange = [this](TObject*) { Change(); };
    settings_.OnChange = [this](TObject*) { Change(settings_); };
    bitmap_.OnChange = [this](TObject*) { Change(); };
}

TvxOutlookBarHeader::~TvxOutlookBarHeader() {
    DestroyChildren();
}

TvxOutlookBar* TvxOutlookBarHeader::OutlookBar() const {
    return dynamic_cast<TvxOutlookBar*>(Parent());
}

const THeaderSettings& TvxOutlookBarHeader::EffectiveSettings() const {
    TvxOutlookBar* bar = OutlookBar();
    return bar && bar->CommonStyle() ? bar->HeaderSettings() : settings_;
}

int TvxOutlookBarHeader::CaptionHeight() const {
    TvxOutlookBar* bar = OutlookBar();
    return bar ? bar->HeaderHeight() : 22;
}

TRect TvxOutlookBarHeader::CaptionRect() const {
    return {0, 0, ClientWidth(), CaptionHeight()};
}

TRect TvxOutlookBarHeader::BodyRect() const {
    return {0, CaptionHeight(), ClientWidth(), ClientHeight()};
}

bool TvxOutlookBarHeader::IsActive() const {
    TvxOutlookBar* bar = OutlookBar();
    return bar && bar->ActiveHeader() == this;
}

bool TvxOutlookBarHeader::IsHot() const {
    TvxOutlookBar* bar = OutlookBar();
    return bar && bar->HotHeader() == this;
}

TOutlookButton* TvxOutlookBarHeader::AddButton(const std::string& caption) {
    auto owned = std::make_unique<TOutlookButton>(this);
    TOutlookButton* b = owned.get();
    b->SetCaption(caption);
    AdoptChild(std::move(owned));
    Change(EffectiveSettings());
    return b;
}

void TvxOutlookBarHeader::DeleteButton(int index) {
    TOutlookButton* b = Buttons(index);
    if (!b) return;
    ReleaseChild(b).reset();
    // Keep the scroll position inside the shorter column, or the remaining
    // buttons would all sit above it, out of sight.
    topIndex_ = std::clamp(topIndex_, 0, std::max(0, ButtonCount() - 1));
    SortButtons();
    Invalidate();
}

TOutlookButton* TvxOutlookBarHeader::Buttons(int index) const {
    int i = 0;
    for (TOutlookControl* c : TabList())
        if (auto* b = dynamic_cast<TOutlookButton*>(c))
            if (i++ == index) return b;
    return nullptr;
}

int TvxOutlookBarHeader::ButtonCount() const {
    int n = 0;
    for (TOutlookControl* c : TabList())
        n += dynamic_cast<TOutlookButton*>(c) != nullptr;
    return n;
}

void TvxOutlookBarHeader::DoChange() {
    if (OnChange) OnChange(this);
}

void TvxOutlookBarHeader::SetImageIndex(int v) {
    if (imageIndex_ == v) return;
    imageIndex_ = v;
    if (TvxOutlookBar* bar = OutlookBar()) bar->Invalidate();
    Invalidate();
}

void TvxOutlookBarHeader::SetBitmapCopy(TBitmapCopy v) {
    if (bitmapCopy_ == v) return;
    bitmapCopy_ = v;
    RepaintAll();
}

void TvxOutlookBarHeader::SetAutoSort(bool v) {
    if (autoSort_ == v) return;
    autoSort_ = v;
    SortButtons();
}

void TvxOutlookBarHeader::SetFirstButtonTop(int v) {
    if (firstButtonTop_ == v) return;
    firstButtonTop_ = v;
    SortButtons();
}

void TvxOutlookBarHeader::SetHeaderIndex(int v) {
    if (v < -1 || v > 32767) throw ERangeError("HeaderIndex out of range");
    SetTabOrder(v);
    if (TvxOutlookBar* bar = OutlookBar()) bar->Relayout();
}

void TvxOutlookBarHeader::RepaintAll() {
    Invalidate();
    for (int i = 0; i < ButtonCount(); ++i)
        Buttons(i)->Invalidate();
}

void TvxOutlookBarHeader::Change(TScrollButton& sender) {
    topIndex_ = ScrollStep(topIndex_, ButtonCount(), &sender == down_);
    if (OnScroll) OnScroll(this);
    SortButtons();
    Invalidate(); // the arrows' visibility follows at this paint
}

void TvxOutlookBarHeader::Change(const THeaderSettings& sender) {
    TvxOutlookBar* bar = OutlookBar();
    if (!(&sender == &settings_ && bar && bar->CommonStyle())) ApplySettings(sender);
    RepaintAll();
}

void TvxOutlookBarHeader::Change() {
    RepaintAll();
}

void TvxOutlookBarHeader::ApplySettings(const THeaderSettings& s) {
    appliedWidth_ = ClientWidth();
    for (int i = 0; i < ButtonCount(); ++i) {
        TOutlookButton* b = Buttons(i);
        if (!b->AutoSize()) continue;
        b->SetAllowResize(true);
        if (s.ButtonStyle() == TButtonStyle::bsSmall) {
            b->SetButtonStyle(TButtonStyle::bsSmall);
            const int ppi = OutlookBar() ? OutlookBar()->PixelsPerInch() : kBasePixelsPerInch;
            int w = std::max(0, ClientWidth() - up_->Width() - Px(4, ppi));
            b->SetBounds(b->Left(), b->Top(), w, s.SmallHeight());
        } else {
            b->SetButtonStyle(TButtonStyle::bsLarge);
            b->SetBounds(b->Left(), b->Top(), s.LargeWidth(), s.LargeHeight());
        }
        b->SetAllowResize(false);
    }
    SortButtons();
}

void TvxOutlookBarHeader::SortButtons() {
    if (!autoSort_) return;
    if (OnSort) OnSort(this);
    bool canSort = true;
    if (OnCanSort) OnCanSort(this, canSort);
    if (!canSort || !OutlookBar()) return;
    std::vector<TStackItem> items;
    int n = ButtonCount();
    for (int i = 0; i < n; ++i) {
        TOutlookButton* b = Buttons(i);
        items.push_back({b->Visible(), b->ButtonStyle(), b->Width(), b->Height()});
    }
    auto at = StackButtons(items, Width(), CaptionHeight(), firstButtonTop_, topIndex_,
                           OutlookBar()->PixelsPerInch());
    for (int i = 0; i < n; ++i) {
        TOutlookButton* b = Buttons(i);
        if (at[i]) b->SetBounds(at[i]->X, at[i]->Y, b->Width(), b->Height());
        b->SetScrolledOut(i < topIndex_);
    }
}

void TvxOutlookBarHeader::CheckScroll() {
    TOutlookButton* last = Buttons(ButtonCount() - 1);
    std::optional<int> lastBottom;
    if (last) lastBottom = last->Top() + last->Height();
    TScrollNeed need = ScrollNeeds(topIndex_, lastBottom, Height());
    bool upNeed = need.Up, downNeed = need.Down, automatic = false;
    const THeaderSettings& s = EffectiveSettings();
    if (!s.AutoScroll() && OnCheckScroll) OnCheckScroll(this, upNeed, downNeed, automatic);
    if (s.AutoScroll() || automatic) {
        upNeed = need.Up;
        downNeed = need.Down;
    }
    up_->SetVisible(upNeed);
    down_->SetVisible(downNeed);
}

void TvxOutlookBarHeader::UpdateLayout() {
    TvxOutlookBar* bar = OutlookBar();
    bool flat = bar && bar->Flat();
    up_->SetFlat(flat);
    down_->SetFlat(flat);
    TScrollPlacement p = PlaceScrollButtons(BodyRect(), CaptionHeight(), up_->Width(),
                                            down_->Width(), down_->Height());
    up_->SetBounds(p.Up.X, p.Up.Y, up_->Width(), up_->Height());
    down_->SetBounds(p.Down.X, p.Down.Y, down_->Width(), down_->Height());
    CheckScroll();
    SortButtons();
}

void TvxOutlookBarHeader::Resized() {
    // Small buttons span the header's width, so a new width re-sizes them.
    if (appliedWidth_ >= 0 && appliedWidth_ != ClientWidth()) ApplySettings(EffectiveSettings());
    Invalidate();
}

void TvxOutlookBarHeader::VisibleChanged() {
    const sbar::TNotifyEvent& e = Visible() ? OnShow : OnHide;
    if (e) e(this);
    if (TvxOutlookBar* bar = OutlookBar()) bar->Relayout();
}

bool TvxOutlookBarHeader::CanFocus() const {
    return EffectiveSettings().KeySupport() && TOutlookControl::CanFocus();
}

void TvxOutlookBarHeader::MouseEnter(int, int y) {
    captionHot_ = y < CaptionHeight();
    TvxOutlookBar* bar = OutlookBar();
    if (bar && bar->Enabled() && captionHot_ && bar->HotHeader() != this) {
        if (bar->HotHeader()) bar->HotHeader()->Invalidate();
        bar->SetHotHeader(this);
        Invalidate();
    }
}

void TvxOutlookBarHeader::MouseLeave() {
    bool repaint = pressed_;
    pressed_ = false;
    captionHot_ = false;
    // The pointer is off this caption strip now, wherever it went.
    TvxOutlookBar* bar = OutlookBar();
    if (bar && bar->HotHeader() == this) {
        bar->SetHotHeader(nullptr);
        repaint = true;
    }
    if (repaint) Invalidate();
}

void TvxOutlookBarHeader::MouseMove(int x, int y) {
    captionHot_ = y < CaptionHeight();
    TvxOutlookBar* bar = OutlookBar();
    if (bar && bar->Enabled()) {
        if (bar->HotHeader() == this && !captionHot_) {
            bar->SetHotHeader(nullptr);
            Invalidate();
        } else if (!bar->HotHeader() && captionHot_) {
            bar->SetHotHeader(this);
            Invalidate();
        }
    }
    TOutlookControl::MouseMove(x, y);
}

void TvxOutlookBarHeader::MouseDown(TMouseButton button, int x, int y) {
    if (button == TMouseButton::mbLeft && y >= 0 && y < CaptionHeight()) {
        pressed_ = true;
        if (CanFocus()) SetFocus();
        Invalidate();
    }
    TOutlookControl::MouseDown(button, x, y);
}

void TvxOutlookBarHeader::MouseUp(TMouseButton button, int x, int y) {
    TOutlookControl::MouseUp(button, x, y);
    if (button != TMouseButton::mbLeft || !pressed_) return;
    pressed_ = false;
    TvxOutlookBar* bar = OutlookBar();
    bool open = bar && !IsActive() && y >= 1 && y < CaptionHeight() && x >= 1 && x < Width();
    if (open) bar->ChangeHeader(this);
    // Opening repaints the whole bar; anything else (a click on the open
    // header, a release off the strip, a veto) must drop the pressed look here.
    if (!open || !IsActive()) Invalidate();
}

bool TvxOutlookBarHeader::KeyDown(int key) {
    TvxOutlookBar* bar = OutlookBar();
    if (bar) {
        switch (key) {
        case kKeyReturn:
            if (!IsActive()) bar->ChangeHeader(this);
            return true;
        case kKeyPageUp:
            bar->ChangeHeader(bar->PrevHeader(bar->ActiveHeader()));
            return true;
        case kKeyPageDown:
            bar->ChangeHeader(bar->NextHeader(bar->ActiveHeader()));
            return true;
        }
    }
    return TOutlookControl::KeyDown(key);
}

bool TvxOutlookBarHeader::DialogChar(char ch, bool alt) {
    if (IsAccel(ch, Caption()) && CanFocus() && (Focused() || alt)) {
        TvxOutlookBar* bar = OutlookBar();
        if (bar && !IsActive()) bar->ChangeHeader(this);
        return true;
    }
    return TOutlookControl::DialogChar(ch, alt);
}

} // namespace vx
