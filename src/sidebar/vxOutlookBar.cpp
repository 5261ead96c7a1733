#include "sidebar/vxOutlookBar.h"

namespace vx {

using namespace sbar;

TvxOutlookBar::TvxOutlookBar() : TOutlookControl(nullptr), settings_(Font()) {
    SetCaption("vxOutlookBar");
    SetColor(clBtnFace);
    TabStop = true;
    SetBounds(0, 0, 120, 250);
    settings_.OnChange = [this](TObject*) { SettingsChanged(); };
    imagesLink_.OnChange = [this] { Invalidate(); };
    imagesLink_.OnFree = [this] {
        images_ = nullptr;
        Invalidate();
    };
}

TvxOutlookBar::~TvxOutlookBar() {
    destroying_ = true;
    hot_ = active_ = nullptr;
    DestroyChildren();
    if (images_) images_->UnRegisterChanges(&imagesLink_);
}

std::vector<TvxOutlookBarHeader*> TvxOutlookBar::HeadersByIndex() const {
    std::vector<TvxOutlookBarHeader*> out;
    for (TOutlookControl* c : TabList())
        if (auto* h = dynamic_cast<TvxOutlookBarHeader*>(c)) out.push_back(h);
    return out;
}

TvxOutlookBarHeader* TvxOutlookBar::Headers(int index) const {
    auto hs = HeadersByIndex();
    return index >= 0 && index < int(hs.size()) ? hs[index] : nullptr;
}

int TvxOutlookBar::HeaderCount() const {
    return int(HeadersByIndex().size());
}

TvxOutlookBarHeader* TvxOutlookBar::AddHeader(const std::string& caption) {
    TvxOutlookBarHeader* previous = active_;
    auto owned = std::make_unique<TvxOutlookBarHeader>(this);
    TvxOutlookBarHeader* h = owned.get();
    h->SetCaption(caption);
    AdoptChild(std::move(owned));
    active_ = h; // an inserted header becomes the open one
    h->HeaderSettings().SetHeaderColor(settings_.HeaderColor());
    if (pixelsPerInch_ != sbar::kBasePixelsPerInch) {
        h->SetFirstButtonTop(sbar::Px(h->FirstButtonTop(), pixelsPerInch_));
        for (int i = 1; i <= 3; ++i)
            h->HeaderSettings().SetSize(i, sbar::Px(h->HeaderSettings().Size(i), pixelsPerInch_));
    }
    ArrangeHeaders();
    // Listeners hear of the switch from the header that was open before.
    ChangeHeaderFrom(previous, h);
    return h;
}

void TvxOutlookBar::DeleteHeader(int index) {
    TvxOutlookBarHeader* h = Headers(index);
    if (!h) return;
    std::unique_ptr<TOutlookControl> owned = ReleaseChild(h);
    if (hot_ == h) hot_ = nullptr;
    active_ = Headers(0); // removing a header opens the first one
    owned.reset();
    Relayout();
}

void TvxOutlookBar::ChangeHeader(TvxOutlookBarHeader* newHeader) {
    ChangeHeaderFrom(active_, newHeader);
}

void TvxOutlookBar::ChangeHeaderFrom(TvxOutlookBarHeader* old, TvxOutlookBarHeader* newHeader) {
    if (OnCanChange) {
        bool canChange = true;
        OnCanChange(this, newHeader, canChange);
        if (!canChange) return;
    }
    int oldIndex = old ? old->HeaderIndex() : -1;
    int newIndex = newHeader ? newHeader->HeaderIndex() : -1;
    if (!destroying_ && OnChange) OnChange(this, oldIndex, newIndex);
    for (TOutlookControl* c : Controls())
        if (auto* h = dynamic_cast<TvxOutlookBarHeader*>(c)) h->DoChange();
    active_ = newHeader && newHeader->Visible() ? newHeader : nullptr;
    if (hot_) {
        hot_->Invalidate();
        hot_ = nullptr;
    }
    Relayout();
}

void TvxOutlookBar::SetActiveHeader(TvxOutlookBarHeader* h) {
    if (h == active_) return;
    ChangeHeader(h);
    Invalidate();
}

TvxOutlookBarHeader* TvxOutlookBar::PrevHeader(TvxOutlookBarHeader* h) const {
    if (!h) return nullptr;
    int i = h->HeaderIndex();
    if (i <= 0) return h;
    TvxOutlookBarHeader* p = Headers(i - 1);
    if (!p) return h;
    return p->Visible() ? p : PrevHeader(p);
}

TvxOutlookBarHeader* TvxOutlookBar::NextHeader(TvxOutlookBarHeader* h) const {
    if (!h) return nullptr;
    TvxOutlookBarHeader* n = Headers(h->HeaderIndex() + 1);
    if (!n) return h;
    return n->Visible() ? n : NextHeader(n);
}

void TvxOutlookBar::SetBevelInner(TBevelCut v) {
    if (bevelInner_ == v) return;
    bevelInner_ = v;
    Relayout();
}

void TvxOutlookBar::SetBevelOuter(TBevelCut v) {
    if (bevelOuter_ == v) return;
    bevelOuter_ = v;
    Relayout();
}

void TvxOutlookBar::SetBevelWidth(int v) {
    if (bevelWidth_ == v) return;
    bevelWidth_ = v;
    Relayout();
}

void TvxOutlookBar::SetBorderWidth(int v) {
    if (borderWidth_ == v) return;
    borderWidth_ = v;
    Relayout();
}

void TvxOutlookBar::SetBorderStyle(TBorderStyle v) {
    if (borderStyle_ == v) return;
    borderStyle_ = v;
    if (View()) View()->FrameChanged();
    Relayout();
}

void TvxOutlookBar::SetCtl3D(bool v) {
    if (ctl3D_ == v) return;
    ctl3D_ = v;
    if (borderStyle_ == TBorderStyle::bsSingle && View()) View()->FrameChanged();
    Relayout();
}

void TvxOutlookBar::SetCommonStyle(bool v) {
    if (commonStyle_ == v) return;
    commonStyle_ = v;
    Invalidate();
    if (v) {
        SettingsChanged();
    } else {
        for (TvxOutlookBarHeader* h : HeadersByIndex())
            h->Change(h->HeaderSettings());
    }
}

void TvxOutlookBar::SettingsChanged() {
    if (!commonStyle_) return;
    Invalidate();
    for (TvxOutlookBarHeader* h : HeadersByIndex())
        h->Change(settings_);
}

void TvxOutlookBar::SetFlat(bool v) {
    if (flat_ == v) return;
    flat_ = v;
    Invalidate();
}

void TvxOutlookBar::SetHeaderHeight(int v) {
    if (headerHeight_ == v) return;
    headerHeight_ = v;
    Relayout();
    for (TvxOutlookBarHeader* h : HeadersByIndex())
        h->SortButtons();
}

void TvxOutlookBar::SetImages(TSideBarImages* images) {
    if (images_ == images) return;
    if (images_) images_->UnRegisterChanges(&imagesLink_);
    images_ = images;
    if (images_) images_->RegisterChanges(&imagesLink_);
    Invalidate();
}

namespace {
const char* const kAlignNames[] = {"alNone", "alTop", "alBottom", "alLeft", "alRight", "alClient"};
}

std::string TvxOutlookBar::AlignInfo() const {
    return kAlignNames[int(align_)];
}

void TvxOutlookBar::SetAlignInfo(const std::string& text) {
    for (int i = 0; i < 6; ++i)
        if (text == kAlignNames[i]) align_ = TAlign(i);
}

void TvxOutlookBar::SetScrollButtonSize(int width, int height) {
    scrollWidth_ = width;
    scrollHeight_ = height;
    for (TvxOutlookBarHeader* h : HeadersByIndex()) {
        TScrollButton* arrows[] = {&h->ScrollUpButton(), &h->ScrollDownButton()};
        for (TScrollButton* b : arrows)
            b->SetBounds(b->Left(), b->Top(), width, height);
        h->Change(h->EffectiveSettings());
    }
}

TRect TvxOutlookBar::ClientRect() const {
    // A single border is one pixel, or a two-pixel sunken edge in the 3-D look.
    int frame = borderStyle_ == TBorderStyle::bsSingle ? (ctl3D_ ? 2 : 1) : 0;
    TRect r{0, 0, Width() - 2 * frame, Height() - 2 * frame};
    if (r.Right < 0) r.Right = 0;
    if (r.Bottom < 0) r.Bottom = 0;
    return r;
}

TRect TvxOutlookBar::InnerRect() const {
    return BarInnerRect(ClientRect(), borderWidth_, bevelOuter_, bevelInner_, bevelWidth_);
}

TRect TvxOutlookBar::GetHeaderRect(int index) const {
    auto hs = HeadersByIndex();
    std::vector<bool> visible;
    for (auto* h : hs)
        visible.push_back(h->Visible());
    return HeaderRect(InnerRect(), index, visible, active_ ? active_->HeaderIndex() : -1,
                      headerHeight_);
}

void TvxOutlookBar::ArrangeHeaders() {
    auto hs = HeadersByIndex();
    for (int i = 0; i < int(hs.size()); ++i) {
        TRect r = GetHeaderRect(i);
        hs[i]->SetBounds(r.Left, r.Top, r.Width(), r.Height());
    }
}

void TvxOutlookBar::SetPixelsPerInch(int value) {
    if (value <= 0 || value == pixelsPerInch_) return;
    const int old = pixelsPerInch_;
    pixelsPerInch_ = value;
    const auto scaled = [&](int v) { return sbar::MulDiv(v, value, old); };
    const auto scaleSizes = [&](THeaderSettings& s) {
        for (int i = 1; i <= 3; ++i)
            s.SetSize(i, scaled(s.Size(i)));
    };
    headerHeight_ = scaled(headerHeight_);
    for (TvxOutlookBarHeader* h : HeadersByIndex()) {
        h->SetFirstButtonTop(scaled(h->FirstButtonTop()));
        scaleSizes(h->HeaderSettings());
    }
    scaleSizes(settings_);
    SetScrollButtonSize(scaled(scrollWidth_), scaled(scrollHeight_));
    Relayout();
    for (TvxOutlookBarHeader* h : HeadersByIndex())
        h->SortButtons();
}

void TvxOutlookBar::Relayout() {
    ArrangeHeaders();
    Invalidate();
}

void TvxOutlookBar::MouseLeave() {
    if (!hot_) return;
    TvxOutlookBarHeader* h = hot_;
    hot_ = nullptr;
    h->MouseLeave();
    h->Invalidate();
}

void TvxOutlookBar::Resized() {
    Relayout();
}

void TvxOutlookBar::EnabledChanged() {
    if (!Enabled() && hot_) {
        hot_->Invalidate();
        hot_ = nullptr;
    }
    Invalidate();
}

} // namespace vx
