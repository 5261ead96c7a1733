// The base of the side bar's controls: bounds, visibility, caption, colour,
// font, tab order, owned child controls and the common events. A control
// draws and receives input through an optional window (IControlView) that the
// window layer attaches; without one (in tests) it simply keeps its state.
#pragma once

#include "sidebar/SideBarGeometry.h"
#include "sidebar/SideBarTypes.h"

#include <memory>
#include <string>
#include <vector>

namespace vx {

class TOutlookControl;

// What a control asks of the window that shows it.
class IControlView {
  public:
    virtual ~IControlView() = default;
    virtual void Invalidate() = 0;
    virtual void BoundsChanged() = 0; // position, size or shown state changed
    virtual bool Focused() const = 0;
    virtual void SetFocus() = 0;
    virtual void ChildAdded(TOutlookControl& child) = 0;
    virtual void TextChanged() {}  // caption changed
    virtual void FrameChanged() {} // border style or 3-D look changed
    virtual void EnabledChanged() {}
    virtual void* Handle() const = 0;
};

namespace sbar {
using TMouseEvent = std::function<void(TObject* Sender, TMouseButton Button, int X, int Y)>;
using TMouseMoveEvent = std::function<void(TObject* Sender, int X, int Y)>;
using TKeyEvent = std::function<void(TObject* Sender, int& Key)>;
} // namespace sbar

class TOutlookControl : public sbar::TObject {
  public:
    explicit TOutlookControl(TOutlookControl* parent);
    ~TOutlookControl() override;
    TOutlookControl(const TOutlookControl&) = delete;
    TOutlookControl& operator=(const TOutlookControl&) = delete;

    TOutlookControl* Parent() const { return parent_; }
    // Child controls in creation order (the parent's control list).
    std::vector<TOutlookControl*> Controls() const;

    int Left() const { return left_; }
    int Top() const { return top_; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    sbar::TRect BoundsRect() const { return {left_, top_, left_ + width_, top_ + height_}; }
    virtual sbar::TRect ClientRect() const { return {0, 0, width_, height_}; }
    int ClientWidth() const { return ClientRect().Width(); }
    int ClientHeight() const { return ClientRect().Height(); }
    void SetBounds(int left, int top, int width, int height);
    void SetLeft(int v) { SetBounds(v, top_, width_, height_); }
    void SetTop(int v) { SetBounds(left_, v, width_, height_); }
    void SetWidth(int v) { SetBounds(left_, top_, v, height_); }
    void SetHeight(int v) { SetBounds(left_, top_, width_, v); }

    bool Visible() const { return visible_; }
    void SetVisible(bool v);
    // Whether the window is on screen: visible and not put out of sight.
    virtual bool Showing() const { return visible_; }
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool v);

    const std::string& Caption() const { return caption_; }
    void SetCaption(const std::string& v);
    TColor Color() const;
    void SetColor(TColor v);
    bool ParentColor() const { return parentColor_; }
    void SetParentColor(bool v);
    TFont& Font() { return font_; }
    const TFont& Font() const { return font_; }
    void SetFont(const TFont& f);

    std::string Hint;
    intptr_t Tag = 0;
    uintptr_t PopupMenu = 0; // an HMENU on Windows; 0 uses the parent's
    bool TabStop = true;

    // Position in the parent's tab order (-1 when not in one). Setting it
    // moves the control within that order, clamped to the ends.
    int TabOrder() const;
    void SetTabOrder(int v);

    // Focus, as the attached window reports it.
    bool Focused() const;
    virtual bool CanFocus() const;
    void SetFocus();
    void Invalidate();

    IControlView* View() const { return view_.get(); }
    void SetView(std::unique_ptr<IControlView> view) { view_ = std::move(view); }
    // The window layer syncs bounds moved from outside without echoing them back.
    void SyncBounds(int left, int top, int width, int height);

    // Input, as the window layer delivers it (client coordinates).
    virtual void MouseEnter(int x, int y);
    virtual void MouseLeave();
    virtual void MouseMove(int x, int y);
    virtual void MouseDown(sbar::TMouseButton button, int x, int y);
    virtual void MouseUp(sbar::TMouseButton button, int x, int y);
    virtual void DblClick();
    virtual bool KeyDown(int key);              // true when handled
    virtual bool DialogChar(char ch, bool alt); // accelerator; true when taken
    virtual void FocusChanged(bool focused);
    virtual void Click();

    sbar::TNotifyEvent OnClick, OnDblClick, OnEnter, OnExit, OnResize;
    sbar::TMouseEvent OnMouseDown, OnMouseUp;
    sbar::TMouseMoveEvent OnMouseMove;
    sbar::TKeyEvent OnKeyDown;

  protected:
    // Takes ownership of a new child and tells the window layer.
    void AdoptChild(std::unique_ptr<TOutlookControl> child);
    // Detaches a child, which the caller then frees.
    std::unique_ptr<TOutlookControl> ReleaseChild(TOutlookControl* child);
    void DestroyChildren();
    const std::vector<TOutlookControl*>& TabList() const { return tabList_; }
    // Whether the control takes part in its parent's tab order.
    virtual bool InTabList() const { return true; }
    virtual bool CanResize(int& width, int& height);
    virtual void Resized() {}
    virtual void VisibleChanged() {}
    virtual void CaptionChanged() { Invalidate(); }
    virtual void ColorChanged();
    virtual void EnabledChanged() { Invalidate(); }
    void ReportBounds();

  private:
    TOutlookControl* parent_;
    std::vector<std::unique_ptr<TOutlookControl>> children_;
    std::vector<TOutlookControl*> tabList_;
    std::unique_ptr<IControlView> view_;
    int left_ = 0, top_ = 0, width_ = 0, height_ = 0;
    bool visible_ = true, enabled_ = true;
    std::string caption_;
    TColor color_ = clBtnFace;
    bool parentColor_ = false;
    TFont font_;
};

} // namespace vx
