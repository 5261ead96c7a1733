// The window base of the widget layer.
//
// A TWindow is either a window of our own class (its object comes from the
// creation parameter, then the layer's table of windows) or a standard
// control that it subclasses. Either way WM_COMMAND, WM_NOTIFY and WM_CTLCOLOR* that a child
// sends its parent are reflected to the child's own object, so a control
// handles its own events. A container lays out its children by Align, in the
// order alTop, alBottom, alLeft, alRight, alClient, each group in creation
// order, skipping hidden children.
#pragma once

#include "platform/Platform.h"

#include <windows.h>

#include <cstddef>
#include <exception>
#include <functional>
#include <string>
#include <typeinfo>
#include <vector>

namespace vx::ui {

enum class TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient };

// A TColor as a COLORREF; system colours (high byte set) are looked up.
COLORREF ToColorRef(TColor color);

class TWindow;

// A window class of this layer. Every class is registered in one place, once
// per process, with the layer's one window procedure; the first description
// of a name is the one that counts.
struct TWindowClass {
    const char* Name = "vxWindow";
    UINT Style = CS_DBLCLKS;
    HBRUSH Background = nullptr; // not owned (a system colour brush or null)
    HICON Icon = nullptr;
    HICON SmallIcon = nullptr;
};

// What a window of the layer's own classes is made with.
struct TCreateParams {
    TWindowClass Class;
    DWORD Style = WS_CHILD | WS_VISIBLE;
    DWORD ExStyle = 0;
    const char* Text = "";
    int Left = 0, Top = 0, Width = 0, Height = 0;
    // The parent window: a window of this layer (it lays this one out by Align),
    // or any other handle.
    TWindow* Parent = nullptr;
    HWND ParentHandle = nullptr;
    int Id = 0;
};

const char* RegisterWindowClass(const TWindowClass& windowClass);

class TWindow {
  public:
    TWindow() = default;
    virtual ~TWindow();
    TWindow(const TWindow&) = delete;
    TWindow& operator=(const TWindow&) = delete;

    HWND Handle() const { return hwnd_; }
    TWindow* Parent() const { return parent_; }
    // The object of a window of this layer, or nullptr.
    static TWindow* FromHandle(HWND hwnd);

    // Position relative to the parent's client area.
    RECT Bounds() const;
    void SetBounds(int left, int top, int width, int height);
    int Width() const;
    int Height() const;
    void SetWidth(int width);
    void SetHeight(int height);
    bool Visible() const;
    // Shows or hides the window; the parent lays out its children again.
    void SetVisible(bool visible);
    std::string Text() const;
    void SetText(const std::string& text);
    void SetFont(HFONT font);
    void Invalidate();

    TAlign Align = TAlign::alNone;
    // Shown in status panel 0 while the mouse is over this window (or a child
    // without a hint of its own).
    std::string Hint;
    // Right click or the menu key; the point is in screen coordinates.
    std::function<void(TWindow& sender, POINT screen)> OnContextMenu;
    std::function<void(TWindow& sender)> OnResize;

    // Lays out the children by Align within the client area (less Padding).
    void Realign();
    RECT Padding{0, 0, 0, 0};
    const std::vector<TWindow*>& Children() const { return children_; }

  protected:
    // A window of this layer's own class "vxWindow" (double clicks, no background brush).
    bool CreateOwn(TWindow* parent, DWORD style, DWORD exStyle = 0, const char* text = "",
                   HWND parentHandle = nullptr);
    // A window of the class params.Class names.
    bool CreateOwn(const TCreateParams& params);
    // A standard control, subclassed.
    bool CreateControl(const char* className, TWindow* parent, DWORD style, DWORD exStyle = 0,
                       const char* text = "", int id = 0);
    // A standard control of `className`, subclassed (params.Class is not used).
    bool CreateControl(const char* className, const TCreateParams& params);
    // A window some control made for itself (a list's header), subclassed.
    bool Adopt(HWND existing);

    // Every message of the window. The default reflects child notifications,
    // lays out children on WM_SIZE, raises OnContextMenu and passes the rest
    // on (DefWindowProc, or the control's own procedure).
    virtual LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT Default(UINT msg, WPARAM wParam, LPARAM lParam);

    // Reflected from the parent; return true when handled (with `result`).
    virtual bool OnCommand(WORD /*code*/, LRESULT& /*result*/) { return false; }
    virtual bool OnNotify(NMHDR* /*header*/, LRESULT& /*result*/) { return false; }
    virtual bool OnCtlColor(HDC /*dc*/, LRESULT& /*result*/) { return false; }
    // Called after the window was destroyed, with the handle already cleared.
    virtual void Destroyed() {}
    // The class named where an exception escaped a handler of this window.
    virtual const std::type_info& SiteType() const { return typeid(*this); }
    // Hands a child's notification to the child's object.
    bool Reflect(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);

  private:
    friend const char* RegisterWindowClass(const TWindowClass& windowClass);
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT Dispatch(UINT msg, WPARAM wParam, LPARAM lParam);
    void Attach(HWND hwnd, TWindow* parent);

    HWND hwnd_ = nullptr;
    TWindow* parent_ = nullptr;
    TWindow* pendingParent_ = nullptr; // between CreateOwn and WM_NCCREATE
    WNDPROC controlProc_ = nullptr;    // the standard control's own procedure
    bool adopted_ = false;             // another control's part: not destroyed here
    std::vector<TWindow*> children_;
};

// A window of the layer's own class for an object that owns a window rather
// than being one: every message goes to Handler (after reflection of the
// children's notifications), which passes what it leaves to Default. An
// exception that escapes is reported under the owner's class.
//
//   window_.Handler = [this](UINT m, WPARAM w, LPARAM l) { return Message(m, w, l); };
//   window_.Create(params, typeid(*this));
class TOwnedWindow : public TWindow {
  public:
    using THandler = std::function<LRESULT(UINT msg, WPARAM wParam, LPARAM lParam)>;
    bool Create(const TCreateParams& params, const std::type_info& owner);
    // A visible child of `parent` in a class of its own, `className`, with no
    // class style (no double clicks: two quick clicks are two clicks), its
    // messages to `handler`. A width or height of 0 leaves the owner to size it.
    bool CreateChild(HWND parent, const char* className, int left, int top, int width, int height,
                     const char* text, THandler handler, const std::type_info& owner);
    // The same for a standard control of `className`, subclassed.
    bool CreateControl(const char* className, const TCreateParams& params,
                       const std::type_info& owner);
    // Another control's part (a list's header), subclassed; it stays that
    // control's to destroy.
    bool Adopt(HWND existing, const std::type_info& owner);
    // Destroys the window now (the destructor does it too); the handler is not
    // called for the messages of its destruction.
    void Destroy();
    LRESULT Default(UINT msg, WPARAM wParam, LPARAM lParam) {
        return TWindow::Default(msg, wParam, lParam);
    }
    THandler Handler;
    // Called when the window was destroyed by anything but this object.
    std::function<void()> OnDestroyed;

  protected:
    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    void Destroyed() override;
    const std::type_info& SiteType() const override { return *owner_; }

  private:
    const std::type_info* owner_ = &typeid(TOwnedWindow);
};

// Registers a window class of the layer once (with the layer's window procedure).
const char* RegisterWindowClass(const TWindowClass& windowClass);

// Runs messages until none is waiting (tests and modal helpers).
void ProcessMessages();

// An exception that escapes a window's handler goes here instead of through
// the system's code; the application shows and logs it, with where it was
// caught ("Tfrm_VexelDebugWindow WM_COPYDATA", see CatchSite_win.h). The
// handler runs inside the catch block. Without a handler the exception is
// shown in a plain error box.
using TExceptionHandler =
    std::function<void(const std::exception& error, const std::string& where)>;
void SetExceptionHandler(TExceptionHandler handler);
void SetExceptionHandler(std::function<void(const std::exception& error)> handler);
void SetExceptionHandler(std::nullptr_t);
void HandleException(const std::exception& error, const std::string& where = {});

} // namespace vx::ui
