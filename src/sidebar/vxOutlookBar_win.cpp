#include "sidebar/vxOutlookBar_win.h"

#include "sidebar/OutlookPaint_win.h"
#include "ui/Dpi_win.h"
#include "ui/Scoped_win.h"
#include "ui/Window_win.h"

#include <windowsx.h>

#include <string>
#include <typeinfo>

namespace vx {

using namespace sbar;

namespace {

const char kBarClass[] = "vxOutlookBar";
const char kHeaderClass[] = "vxOutlookBarHeader";
const char kButtonClass[] = "vxOutlookButton";
const char kScrollClass[] = "vxOutlookScrollButton";

TvxOutlookBar* RootBar(TOutlookControl* c) {
    while (c && !dynamic_cast<TvxOutlookBar*>(c))
        c = c->Parent();
    return static_cast<TvxOutlookBar*>(c);
}

void AttachWindow(TOutlookControl& c, HWND parent);

// One window showing one control of the model.
class TControlWindow : public IControlView {
  public:
    explicit TControlWindow(TOutlookControl& c) : control_(c) {}
    ~TControlWindow() override { window_.Destroy(); }

    // The bar does not redraw on resize by itself (its resize handler does);
    // the buttons take double clicks.
    void Create(HWND parent, const char* cls, UINT classStyle) {
        ui::TCreateParams params;
        params.Class.Name = cls;
        params.Class.Style = classStyle;
        params.Style = WS_CHILD | WS_CLIPCHILDREN | WS_CLIPSIBLINGS;
        if (control_.Showing()) params.Style |= WS_VISIBLE;
        if (!control_.Enabled()) params.Style |= WS_DISABLED;
        const std::string caption = control_.Caption();
        params.Text = caption.c_str();
        params.Left = control_.Left();
        params.Top = control_.Top();
        params.Width = control_.Width();
        params.Height = control_.Height();
        params.ParentHandle = parent;
        // A click runs the application's handlers (a button shows its
        // section): what they throw is caught at the window and reported
        // under the model control's class.
        window_.Handler = [this](UINT msg, WPARAM wp, LPARAM lp) { return Message(msg, wp, lp); };
        window_.Create(params, typeid(control_));
    }
    HWND Hwnd() const { return window_.Handle(); }
    virtual void ChildrenAttached() {}

    void Invalidate() override {
        if (Hwnd()) InvalidateRect(Hwnd(), nullptr, FALSE);
    }
    void BoundsChanged() override {
        if (!Hwnd() || syncing_) return;
        UINT show = control_.Showing() ? SWP_SHOWWINDOW : SWP_HIDEWINDOW;
        SetWindowPos(Hwnd(), nullptr, control_.Left(), control_.Top(), control_.Width(),
                     control_.Height(), SWP_NOZORDER | SWP_NOACTIVATE | show);
    }
    bool Focused() const override { return Hwnd() && GetFocus() == Hwnd(); }
    void SetFocus() override {
        if (Hwnd()) ::SetFocus(Hwnd());
    }
    void ChildAdded(TOutlookControl& child) override {
        if (Hwnd()) AttachWindow(child, Hwnd());
    }
    void TextChanged() override {
        if (Hwnd()) SetWindowTextA(Hwnd(), control_.Caption().c_str());
    }
    void EnabledChanged() override {
        if (Hwnd()) EnableWindow(Hwnd(), control_.Enabled());
    }
    void* Handle() const override { return Hwnd(); }

  protected:
    virtual void Paint(HDC dc) = 0;
    virtual void BeforePaint() {}

    // Every case that calls into the model returns right after: a handler
    // there may free the control, and this window with it.
    virtual LRESULT Message(UINT msg, WPARAM wp, LPARAM lp) {
        HWND h = Hwnd();
        int x = GET_X_LPARAM(lp), y = GET_Y_LPARAM(lp);
        switch (msg) {
        case WM_ERASEBKGND:
            return 1;
        case WM_PAINT: {
            BeforePaint();
            Paint(ui::ScopedPaint(h));
            return 0;
        }
        case WM_PRINTCLIENT:
            Paint(reinterpret_cast<HDC>(wp));
            return 0;
        case WM_MOUSEMOVE:
            TrackPointer(x, y);
            control_.MouseMove(x, y);
            return 0;
        case WM_MOUSELEAVE:
            tracking_ = false;
            if (GetCapture() != h) LeaveAndCheckBar();
            return 0;
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
            SetCapture(h);
            if (msg == WM_LBUTTONDBLCLK) control_.DblClick();
            control_.MouseDown(TMouseButton::mbLeft, x, y);
            return 0;
        case WM_LBUTTONUP: {
            if (GetCapture() == h) ReleaseCapture();
            RECT rc;
            GetClientRect(h, &rc);
            if (!PtInRect(&rc, POINT{x, y}) && inside_) Leave();
            if (inside_) Track(); // capture may have ended the tracking
            control_.MouseUp(TMouseButton::mbLeft, x, y);
            return 0;
        }
        case WM_RBUTTONDOWN:
            control_.MouseDown(TMouseButton::mbRight, x, y);
            return 0;
        case WM_RBUTTONUP:
            control_.MouseUp(TMouseButton::mbRight, x, y);
            return DefWindowProcA(h, msg, wp, lp); // raises WM_CONTEXTMENU
        case WM_CONTEXTMENU:
            for (TOutlookControl* c = &control_; c; c = c->Parent()) {
                if (!c->PopupMenu) continue;
                if (x == -1 && y == -1) { // from the keyboard: at the window's corner
                    POINT p{0, 0};
                    ClientToScreen(h, &p);
                    x = p.x;
                    y = p.y;
                }
                TrackPopupMenu(reinterpret_cast<HMENU>(c->PopupMenu), TPM_RIGHTBUTTON, x, y, 0,
                               GetAncestor(h, GA_ROOT), nullptr);
                return 0;
            }
            break;
        case WM_GETDLGCODE:
            return DLGC_WANTALLKEYS | DLGC_WANTCHARS;
        case WM_KEYDOWN:
            if (control_.KeyDown(int(wp))) return 0;
            break;
        case WM_CHAR:
        case WM_SYSCHAR:
            if (TvxOutlookBar* bar = RootBar(&control_))
                if (bar->DialogChar(char(wp), msg == WM_SYSCHAR)) return 0;
            break;
        case WM_SETFOCUS:
            control_.FocusChanged(true);
            return 0;
        case WM_KILLFOCUS:
            control_.FocusChanged(false);
            return 0;
        case WM_ENABLE:
            control_.SetEnabled(wp != 0);
            return 0;
        case WM_SYSCOLORCHANGE:
            RedrawWindow(h, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
            return 0;
        }
        return DefWindowProcA(h, msg, wp, lp);
    }

    TOutlookControl& control_;
    ui::TOwnedWindow window_;
    bool syncing_ = false;

  private:
    void Track() {
        TRACKMOUSEEVENT t{sizeof t, TME_LEAVE, Hwnd(), 0};
        TrackMouseEvent(&t);
        tracking_ = true;
    }
    // Enter and leave follow the pointer; while the mouse is captured they
    // follow whether it is over the window.
    void TrackPointer(int x, int y) {
        if (GetCapture() == Hwnd()) {
            RECT rc;
            GetClientRect(Hwnd(), &rc);
            bool in = PtInRect(&rc, POINT{x, y});
            if (in && !inside_) Enter(x, y);
            if (!in && inside_) Leave();
            return;
        }
        if (!tracking_) Track();
        if (!inside_) Enter(x, y);
    }
    void Enter(int x, int y) {
        inside_ = true;
        control_.MouseEnter(x, y);
    }
    void Leave() {
        inside_ = false;
        control_.MouseLeave();
    }
    void LeaveAndCheckBar() {
        TvxOutlookBar* bar = RootBar(&control_);
        if (inside_) Leave();
        // Off the bar altogether: it drops its hot header.
        HWND barWnd = bar ? OutlookWindow(*bar) : nullptr;
        if (!barWnd) return;
        POINT p;
        RECT r;
        GetCursorPos(&p);
        GetWindowRect(barWnd, &r);
        if (!PtInRect(&r, p)) bar->MouseLeave();
    }

    bool inside_ = false, tracking_ = false;
};

class TBarWindow : public TControlWindow {
  public:
    explicit TBarWindow(TvxOutlookBar& bar) : TControlWindow(bar), bar_(bar) {}
    void Create(HWND parent) {
        TControlWindow::Create(parent, kBarClass, 0);
        FrameChanged();
    }

    void Invalidate() override {
        if (Hwnd()) RedrawWindow(Hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
    }
    void FrameChanged() override {
        if (!Hwnd()) return;
        LONG_PTR style = GetWindowLongPtrA(Hwnd(), GWL_STYLE) & ~WS_BORDER;
        LONG_PTR ex = GetWindowLongPtrA(Hwnd(), GWL_EXSTYLE) & ~WS_EX_CLIENTEDGE;
        if (bar_.BorderStyle() == TBorderStyle::bsSingle) {
            if (bar_.Ctl3D())
                ex |= WS_EX_CLIENTEDGE;
            else
                style |= WS_BORDER;
        }
        SetWindowLongPtrA(Hwnd(), GWL_STYLE, style);
        SetWindowLongPtrA(Hwnd(), GWL_EXSTYLE, ex);
        SetWindowPos(Hwnd(), nullptr, 0, 0, 0, 0,
                     SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        Invalidate();
    }

  protected:
    void Paint(HDC dc) override { PaintOutlookBar(dc, bar_); }
    LRESULT Message(UINT msg, WPARAM wp, LPARAM lp) override {
        if (msg == WM_WINDOWPOSCHANGED && !syncing_) {
            // Moved or shown from outside (the main window's layout): follow.
            auto* pos = reinterpret_cast<const WINDOWPOS*>(lp);
            syncing_ = true;
            if (!(pos->flags & SWP_NOSIZE) || !(pos->flags & SWP_NOMOVE)) {
                RECT r;
                GetWindowRect(Hwnd(), &r);
                MapWindowPoints(HWND_DESKTOP, GetParent(Hwnd()), reinterpret_cast<POINT*>(&r), 2);
                bar_.SyncBounds(r.left, r.top, r.right - r.left, r.bottom - r.top);
            }
            if (pos->flags & SWP_SHOWWINDOW) bar_.SetVisible(true);
            if (pos->flags & SWP_HIDEWINDOW) bar_.SetVisible(false);
            syncing_ = false;
        }
        return TControlWindow::Message(msg, wp, lp);
    }

  private:
    TvxOutlookBar& bar_;
};

class THeaderWindow : public TControlWindow {
  public:
    explicit THeaderWindow(TvxOutlookBarHeader& h) : TControlWindow(h), header_(h) {}
    void Create(HWND parent) { TControlWindow::Create(parent, kHeaderClass, CS_DBLCLKS); }
    void ChildAdded(TOutlookControl& child) override {
        TControlWindow::ChildAdded(child);
        ChildrenAttached();
    }
    // The arrows stay above the buttons they may overlap in a narrow bar.
    void ChildrenAttached() override {
        for (TScrollButton* s : {&header_.ScrollUpButton(), &header_.ScrollDownButton()})
            if (HWND w = OutlookWindow(*s))
                SetWindowPos(w, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }

  protected:
    void BeforePaint() override { header_.UpdateLayout(); }
    void Paint(HDC dc) override { PaintOutlookHeader(dc, header_); }

  private:
    TvxOutlookBarHeader& header_;
};

class TButtonWindow : public TControlWindow {
  public:
    explicit TButtonWindow(TOutlookButton& b) : TControlWindow(b), button_(b) {}
    void Create(HWND parent) { TControlWindow::Create(parent, kButtonClass, CS_DBLCLKS); }

  protected:
    void Paint(HDC dc) override { PaintOutlookButton(dc, button_); }

  private:
    TOutlookButton& button_;
};

class TScrollWindow : public TControlWindow {
  public:
    explicit TScrollWindow(TScrollButton& s) : TControlWindow(s), scroll_(s) {}
    void Create(HWND parent) { TControlWindow::Create(parent, kScrollClass, CS_DBLCLKS); }

  protected:
    void Paint(HDC dc) override { PaintScrollButton(dc, scroll_); }

  private:
    TScrollButton& scroll_;
};

template <class TWindow, class TModel> TControlWindow* Make(TModel& m, HWND parent) {
    auto w = std::make_unique<TWindow>(m);
    TWindow* raw = w.get();
    m.SetView(std::move(w));
    raw->Create(parent);
    return raw;
}

void AttachWindow(TOutlookControl& c, HWND parent) {
    TControlWindow* w = nullptr;
    if (auto* bar = dynamic_cast<TvxOutlookBar*>(&c))
        w = Make<TBarWindow>(*bar, parent);
    else if (auto* h = dynamic_cast<TvxOutlookBarHeader*>(&c))
        w = Make<THeaderWindow>(*h, parent);
    else if (auto* b = dynamic_cast<TOutlookButton*>(&c))
        w = Make<TButtonWindow>(*b, parent);
    else if (auto* s = dynamic_cast<TScrollButton*>(&c))
        w = Make<TScrollWindow>(*s, parent);
    if (!w || !w->Hwnd()) return;
    for (TOutlookControl* child : c.Controls())
        AttachWindow(*child, w->Hwnd());
    w->ChildrenAttached();
}

} // namespace

HWND CreateOutlookBarWindow(TvxOutlookBar& bar, HWND parent) {
    // The system's arrow size is for its own pixels per inch; the bar's may differ.
    const UINT system = ui::SystemDpi(), ppi = UINT(bar.PixelsPerInch());
    bar.SetScrollButtonSize(ui::Rescale(GetSystemMetrics(SM_CXVSCROLL), system, ppi),
                            ui::Rescale(GetSystemMetrics(SM_CYVSCROLL), system, ppi));
    AttachWindow(bar, parent);
    bar.ArrangeHeaders();
    return OutlookWindow(bar);
}

HWND OutlookWindow(const TOutlookControl& control) {
    return control.View() ? static_cast<HWND>(control.View()->Handle()) : nullptr;
}

void SetSideBarImages(TSideBarImages& images, HIMAGELIST list) {
    int w = 0, h = 0;
    if (list) ImageList_GetIconSize(list, &w, &h);
    images.Reset(reinterpret_cast<uintptr_t>(list), w, h);
}

std::unique_ptr<TSideBarImages> MakeSideBarImages(HIMAGELIST list) {
    int w = 0, h = 0;
    if (list) ImageList_GetIconSize(list, &w, &h);
    return std::make_unique<TSideBarImages>(reinterpret_cast<uintptr_t>(list), w, h);
}

void LoadSideBarBitmap(TSideBarBitmap& target, HBITMAP source) {
    BITMAP info{};
    if (!source || !GetObjectA(source, sizeof info, &info) || info.bmWidth <= 0 ||
        info.bmHeight <= 0) {
        target.SetPixels(0, 0, {});
        return;
    }
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = info.bmWidth;
    bi.bmiHeader.biHeight = -info.bmHeight; // top-down rows
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    std::vector<uint32_t> raw(size_t(info.bmWidth) * info.bmHeight);
    GetDIBits(ui::ScopedGetDC(nullptr), source, 0, info.bmHeight, raw.data(), &bi, DIB_RGB_COLORS);
    std::vector<TColor> px(raw.size());
    for (size_t i = 0; i < raw.size(); ++i) // BGRA in memory to red-low TColor
        px[i] = RGBColor(uint8_t(raw[i] >> 16), uint8_t(raw[i] >> 8), uint8_t(raw[i]));
    target.SetPixels(info.bmWidth, info.bmHeight, std::move(px));
}

} // namespace vx
