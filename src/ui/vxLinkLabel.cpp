#include "ui/vxLinkLabel.h"

#include <algorithm>
#include <cstdio>

namespace vx {

namespace {
constexpr int kVersionNumber = 257; // shown as "%d.%d" of its two low bytes
constexpr int kMaxShadowSize = 5;
} // namespace

TvxLinkLabelBase::TvxLinkLabelBase(IShell* shell, const TFont& defaultFont)
    : shell_(shell), linkFont_(defaultFont), font_(defaultFont) {
    linkFont_.Color = clBlue;
    linkFont_.Underline = true;
    savedCursor_ = cursor_;
}

void TvxLinkLabelBase::SetShadowLayout(TvxShadowLayout value) {
    if (value == shadowLayout_) return;
    shadowLayout_ = value;
    AdjustBounds();
    Invalidate();
}

void TvxLinkLabelBase::SetShadowColor(TColor value) {
    if (value == shadowColor_) return;
    shadowColor_ = value;
    Invalidate();
}

void TvxLinkLabelBase::SetShadowSize(int value) {
    if (value < 0) return;
    value = std::min(value, kMaxShadowSize);
    if (value == shadowSize_) return;
    shadowSize_ = value;
    AdjustBounds();
    Invalidate();
}

void TvxLinkLabelBase::SetLinkFont(const TFont& value) {
    if (value == linkFont_) return;
    linkFont_ = value;
    if (mouseOver_) Invalidate();
}

void TvxLinkLabelBase::SetLabelStyle(TvxLinkLabelStyle value) {
    if (value == labelStyle_) return;
    labelStyle_ = value;
    Invalidate();
}

std::string TvxLinkLabelBase::Version() const {
    char text[16];
    std::snprintf(text, sizeof text, "%d.%d", (kVersionNumber >> 8) & 0xFF, kVersionNumber & 0xFF);
    return text;
}

void TvxLinkLabelBase::SetCaption(const std::string& value) {
    if (value == caption_) return;
    caption_ = value;
    CaptionChanged();
    AdjustBounds();
    Invalidate();
}

void TvxLinkLabelBase::SetFont(const TFont& value) {
    if (value == font_) return;
    font_ = value;
    AdjustBounds();
    Invalidate();
}

void TvxLinkLabelBase::SetEnabled(bool value) {
    if (value == enabled_) return;
    // A disabled label gets no more mouse notices: leave the hover state now
    // rather than keep the link look and the hand cursor.
    if (!value) MouseLeave();
    enabled_ = value;
    EnabledChanged();
    Invalidate();
}

void TvxLinkLabelBase::SetCursor(int value) {
    if (value == cursor_) return;
    cursor_ = value;
    CursorChanged();
}

void TvxLinkLabelBase::MouseEnter() {
    if (mouseOver_ || !enabled_ || dragAutomatic_) return;
    mouseOver_ = true;
    if (labelStyle_ != TvxLinkLabelStyle::lsStandard) {
        savedCursor_ = cursor_;
        cursorSwapped_ = true;
        SetCursor(crHandPoint);
    }
    Invalidate();
}

void TvxLinkLabelBase::MouseLeave() {
    if (!mouseOver_ || !enabled_) return;
    mouseOver_ = false;
    // Only a cursor that the hover changed is put back, so a plain label's
    // own cursor survives the mouse passing over it.
    if (cursorSwapped_) {
        cursorSwapped_ = false;
        SetCursor(savedCursor_);
    }
    Invalidate();
}

void TvxLinkLabelBase::Click() {
    if (OnClick) OnClick(*this);
    if (link_.empty() || !shell_) return;
    switch (labelStyle_) {
    case TvxLinkLabelStyle::lsInternetLink:
        shell_->Open(link_, "", kLinkShowCommand);
        break;
    case TvxLinkLabelStyle::lsMailTo:
        shell_->Open("mailto:" + link_, "", kLinkShowCommand);
        break;
    case TvxLinkLabelStyle::lsStandard:
        break;
    }
}

const TFont& TvxLinkLabelBase::TextFont() const {
    return mouseOver_ && labelStyle_ != TvxLinkLabelStyle::lsStandard ? linkFont_ : font_;
}

void TvxLinkLabelBase::ShadowOffset(TvxShadowLayout layout, int size, int& dx, int& dy) {
    dx = layout == TvxShadowLayout::slTopLeft || layout == TvxShadowLayout::slBottomLeft ? -size
                                                                                         : size;
    dy = layout == TvxShadowLayout::slTopLeft || layout == TvxShadowLayout::slTopRight ? -size
                                                                                       : size;
}

TLinkTextLayout TvxLinkLabelBase::Layout(int textWidth, int textHeight) const {
    const int s = shadowSize_;
    int dx, dy;
    ShadowOffset(shadowLayout_, s, dx, dy);
    // A shadow above or left of the text pushes the text the other way, so
    // that both stay inside the label whatever the layout.
    TLinkTextLayout r;
    r.Text.Left = dx < 0 ? s : 0;
    r.Text.Top = dy < 0 ? s : 0;
    r.Text.Right = r.Text.Left + textWidth;
    r.Text.Bottom = r.Text.Top + textHeight;
    r.Shadow = {r.Text.Left + dx, r.Text.Top + dy, r.Text.Right + dx, r.Text.Bottom + dy};
    r.Bounds = {0, 0, textWidth + s, textHeight + s};
    return r;
}

} // namespace vx
