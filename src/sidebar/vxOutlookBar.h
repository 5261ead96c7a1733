// The side bar: a vertical bar of collapsible headers (TvxOutlookBarHeader),
// one of them open, each holding a column of icon buttons (TOutlookButton)
// that scrolls with two arrow buttons (TScrollButton). This is the portable
// model: state, events, the rules that change state, and the layout. The
// window layer (vxOutlookBar_win.h) shows it and feeds it mouse and keys.
#pragma once

#include "sidebar/HeaderSettings.h"
#include "sidebar/OutlookControl.h"
#include "sidebar/SideBarGeometry.h"

namespace vx {

class TOutlookButton;
class TScrollButton;
class TvxOutlookBarHeader;

class TvxOutlookBar : public TOutlookControl {
  public:
    static constexpr int kVersion = 0x0128;

    TvxOutlookBar();
    ~TvxOutlookBar() override;

    // Adds a header with the given caption and opens it; it gets the highest
    // HeaderIndex (Headers(HeaderCount() - 1)).
    TvxOutlookBarHeader* AddHeader(const std::string& caption);
    void DeleteHeader(int index);
    TvxOutlookBarHeader* Headers(int index) const; // by HeaderIndex; nullptr out of range
    int HeaderCount() const;

    // The only way the open header changes (events, then the switch).
    void ChangeHeader(TvxOutlookBarHeader* newHeader);
    TvxOutlookBarHeader* PrevHeader(TvxOutlookBarHeader* h) const;
    TvxOutlookBarHeader* NextHeader(TvxOutlookBarHeader* h) const;

    TvxOutlookBarHeader* ActiveHeader() const { return active_; }
    void SetActiveHeader(TvxOutlookBarHeader* h);
    TvxOutlookBarHeader* HotHeader() const { return hot_; }
    void SetHotHeader(TvxOutlookBarHeader* h) { hot_ = h; }

    sbar::TBevelCut BevelInner() const { return bevelInner_; }
    void SetBevelInner(sbar::TBevelCut v);
    sbar::TBevelCut BevelOuter() const { return bevelOuter_; }
    void SetBevelOuter(sbar::TBevelCut v);
    int BevelWidth() const { return bevelWidth_; }
    void SetBevelWidth(int v);
    int BorderWidth() const { return borderWidth_; }
    void SetBorderWidth(int v);
    sbar::TBorderStyle BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(sbar::TBorderStyle v);
    bool Ctl3D() const { return ctl3D_; }
    void SetCtl3D(bool v);
    bool CommonStyle() const { return commonStyle_; }
    void SetCommonStyle(bool v);
    bool Flat() const { return flat_; }
    void SetFlat(bool v);
    bool ButtonDown() const { return buttonDown_; }
    void SetButtonDown(bool v) { buttonDown_ = v; }
    int HeaderHeight() const { return headerHeight_; }
    void SetHeaderHeight(int v);
    TSideBarImages* Images() const { return images_; }
    void SetImages(TSideBarImages* images);
    THeaderSettings& HeaderSettings() { return settings_; }
    const THeaderSettings& HeaderSettings() const { return settings_; }
    void SetHeaderSettings(const THeaderSettings& s) { settings_.Assign(s); }
    sbar::TAlign Align() const { return align_; }
    void SetAlign(sbar::TAlign v) { align_ = v; }
    // Align as the texts "alNone" .. "alClient"; other texts change nothing.
    std::string AlignInfo() const;
    void SetAlignInfo(const std::string& text);
    std::string Version() const { return sbar::VersionText(kVersion); }
    void SetVersion(const std::string&) {} // read-only

    // Size of a header's arrow buttons (the system's scroll bar arrow size).
    int ScrollButtonWidth() const { return scrollWidth_; }
    int ScrollButtonHeight() const { return scrollHeight_; }
    void SetScrollButtonSize(int width, int height);

    // The pixels per inch of the window the bar is shown in (96 unless told).
    // A change scales the header height, the button sizes of the settings
    // (the bar's and every header's), each header's first button top and
    // the arrows from the old pixels per inch to the new one.
    int PixelsPerInch() const { return pixelsPerInch_; }
    void SetPixelsPerInch(int value);

    sbar::TRect ClientRect() const override;
    sbar::TRect InnerRect() const; // client less border and bevels
    sbar::TRect GetHeaderRect(int index) const;
    void ArrangeHeaders();

    bool CanFocus() const override { return false; }
    void MouseLeave() override;
    bool Destroying() const { return destroying_; }

    TEventHeaderChange OnChange;
    TEventCanChangeHeader OnCanChange;

  protected:
    void Resized() override;
    void EnabledChanged() override;

  private:
    friend class TvxOutlookBarHeader;
    void ChangeHeaderFrom(TvxOutlookBarHeader* old, TvxOutlookBarHeader* newHeader);
    void SettingsChanged();
    void Relayout();
    std::vector<TvxOutlookBarHeader*> HeadersByIndex() const;

    sbar::TBevelCut bevelInner_ = sbar::TBevelCut::bvNone;
    sbar::TBevelCut bevelOuter_ = sbar::TBevelCut::bvLowered;
    int bevelWidth_ = 1;
    int borderWidth_ = 1;
    sbar::TBorderStyle borderStyle_ = sbar::TBorderStyle::bsNone;
    bool ctl3D_ = true;
    TvxOutlookBarHeader* active_ = nullptr;
    TvxOutlookBarHeader* hot_ = nullptr;
    bool commonStyle_ = true;
    bool flat_ = false;
    TSideBarImages* images_ = nullptr;
    TSideBarImages::TChangeLink imagesLink_;
    bool buttonDown_ = true;
    int headerHeight_ = 22;
    THeaderSettings settings_;
    sbar::TAlign align_ = sbar::TAlign::alLeft;
    int scrollWidth_ = 17, scrollHeight_ = 17;
    int pixelsPerInch_ = sbar::kBasePixelsPerInch;
    bool destroying_ = false;
};

class TScrollButton : public TOutlookControl {
  public:
    TScrollButton(TvxOutlookBarHeader* header, TArrowStyle style);

    TArrowStyle ArrowStyle() const { return arrowStyle_; }
    void SetArrowStyle(TArrowStyle v);
    bool Flat() const { return flat_; }
    void SetFlat(bool v);
    bool Down() const { return down_; } // held with the mouse
    bool Hot() const { return hot_; }

    bool CanFocus() const override { return false; }
    void MouseEnter(int x, int y) override;
    void MouseLeave() override;
    void MouseDown(sbar::TMouseButton button, int x, int y) override;
    void MouseUp(sbar::TMouseButton button, int x, int y) override;
    void Click() override;

  protected:
    bool InTabList() const override { return false; }

  private:
    TvxOutlookBarHeader* header_;
    TArrowStyle arrowStyle_;
    bool flat_ = false, down_ = false, hot_ = false, clicked_ = false;
};

class TvxOutlookBarHeader : public TOutlookControl {
  public:
    explicit TvxOutlookBarHeader(TOutlookControl* parent);
    ~TvxOutlookBarHeader() override;

    // Adds a button sized and stacked from the effective settings.
    TOutlookButton* AddButton(const std::string& caption);
    void DeleteButton(int index);
    TOutlookButton* Buttons(int index) const; // by ButtonIndex; nullptr out of range
    int ButtonCount() const;
    TvxOutlookBar* OutlookBar() const;
    virtual void DoChange();

    TSideBarBitmap& Bitmap() { return bitmap_; }
    const TSideBarBitmap& Bitmap() const { return bitmap_; }
    void SetBitmap(const TSideBarBitmap& b) { bitmap_.Assign(b); }
    int ImageIndex() const { return imageIndex_; }
    void SetImageIndex(int v);
    TBitmapCopy BitmapCopy() const { return bitmapCopy_; }
    void SetBitmapCopy(TBitmapCopy v);
    bool CaptionHot() const { return captionHot_; }
    bool Pressed() const { return pressed_; }
    TGradient& Gradient() { return gradient_; }
    const TGradient& Gradient() const { return gradient_; }
    void SetGradient(const TGradient& g) { gradient_.Assign(g); }
    THeaderSettings& HeaderSettings() { return settings_; }
    const THeaderSettings& HeaderSettings() const { return settings_; }
    void SetHeaderSettings(const THeaderSettings& s) { settings_.Assign(s); }
    // The bar's settings under CommonStyle, the header's own otherwise.
    const THeaderSettings& EffectiveSettings() const;
    int TopIndex() const { return topIndex_; }
    bool AutoSort() const { return autoSort_; }
    void SetAutoSort(bool v);
    int FirstButtonTop() const { return firstButtonTop_; }
    void SetFirstButtonTop(int v);
    TScrollButton& ScrollUpButton() { return *up_; }
    TScrollButton& ScrollDownButton() { return *down_; }
    int HeaderIndex() const { return TabOrder(); }
    void SetHeaderIndex(int v); // -1..32767, else a range error

    int CaptionHeight() const; // the bar's HeaderHeight, 22 outside a bar
    sbar::TRect CaptionRect() const;
    sbar::TRect BodyRect() const;
    bool IsActive() const;
    bool IsHot() const;

    // The header's common change handler, by sender.
    void Change(TScrollButton& sender);
    void Change(const THeaderSettings& sender);
    void Change(); // gradient or bitmap

    void SortButtons();
    // What a paint re-decides: the arrows' places and visibility, the stacking.
    void UpdateLayout();

    bool CanFocus() const override;
    void MouseEnter(int x, int y) override;
    void MouseLeave() override;
    void MouseMove(int x, int y) override;
    void MouseDown(sbar::TMouseButton button, int x, int y) override;
    void MouseUp(sbar::TMouseButton button, int x, int y) override;
    bool KeyDown(int key) override;
    bool DialogChar(char ch, bool alt) override;

    sbar::TNotifyEvent OnChange, OnScroll, OnHide, OnShow, OnSort;
    TEventCheckScroll OnCheckScroll;
    TEventCanSortButtons OnCanSort;

  protected:
    void Resized() override;
    void VisibleChanged() override;

  private:
    void ApplySettings(const THeaderSettings& s);
    void RepaintAll();
    void CheckScroll();

    TSideBarBitmap bitmap_;
    int imageIndex_ = -1;
    TBitmapCopy bitmapCopy_ = TBitmapCopy::bcSrcCopy;
    bool captionHot_ = false, pressed_ = false;
    TGradient gradient_;
    THeaderSettings settings_;
    int topIndex_ = 0;
    bool autoSort_ = true;
    TScrollButton* up_ = nullptr;
    TScrollButton* down_ = nullptr;
    int firstButtonTop_ = 5;
    int appliedWidth_ = -1;
};

class TOutlookButton : public TOutlookControl {
  public:
    explicit TOutlookButton(TvxOutlookBarHeader* header);
    ~TOutlookButton() override;

    TvxOutlookBarHeader* Header() const { return header_; }
    bool Hot() const { return hot_; }
    bool Pressed() const { return pressed_; }
    TButtonStyle ButtonStyle() const { return style_; }
    void SetButtonStyle(TButtonStyle v);
    TSideBarImages* LargeImages() const { return large_; }
    void SetLargeImages(TSideBarImages* v);
    TSideBarImages* SmallImages() const { return small_; }
    void SetSmallImages(TSideBarImages* v);
    int ImageIndex() const { return imageIndex_; }
    void SetImageIndex(int v);
    bool Transparent() const { return transparent_; }
    void SetTransparent(bool v);
    bool AutoSize() const { return autoSize_; }
    void SetAutoSize(bool v);
    bool AllowResize() const { return allowResize_; }
    void SetAllowResize(bool v) { allowResize_ = v; }
    int ButtonIndex() const { return TabOrder(); }
    void SetButtonIndex(int v); // -1..32767, else a range error

    // Scrolled above the header's TopIndex: kept out of sight.
    bool ScrolledOut() const { return scrolledOut_; }
    void SetScrolledOut(bool v);
    bool Showing() const override { return Visible() && !scrolledOut_; }

    bool CanFocus() const override;
    void MouseEnter(int x, int y) override;
    void MouseLeave() override;
    void MouseDown(sbar::TMouseButton button, int x, int y) override;
    void MouseUp(sbar::TMouseButton button, int x, int y) override;
    bool KeyDown(int key) override;
    bool DialogChar(char ch, bool alt) override;

  protected:
    bool CanResize(int& width, int& height) override;

  private:
    void SetImages(TSideBarImages*& slot, TSideBarImages::TChangeLink& link, TSideBarImages* v);

    TvxOutlookBarHeader* header_;
    bool hot_ = false, pressed_ = false, clicked_ = false;
    TButtonStyle style_ = TButtonStyle::bsLarge;
    TSideBarImages* large_ = nullptr;
    TSideBarImages* small_ = nullptr;
    TSideBarImages::TChangeLink largeLink_, smallLink_;
    int imageIndex_ = -1;
    bool transparent_ = true, autoSize_ = true, allowResize_ = false;
    bool scrolledOut_ = false;
};

} // namespace vx
