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
#include <vector>

namespace vx::ui {

enum class TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient };

// A TColor as a COLORREF; system colours (high byte set) are looked up.
COLORREF ToColorRef(TColor color);

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
    // A standard control, subclassed.
    bool CreateControl(const char* className, TWindow* parent, DWORD style, DWORD exStyle = 0,
                       const char* text = "", int id = 0);

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
    // Hands a child's notification to the child's object.
    bool Reflect(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);

private:
    static LRESULT CALLBACK OwnProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK ControlProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT Dispatch(UINT msg, WPARAM wParam, LPARAM lParam);
    void Attach(HWND hwnd, TWindow* parent);

    HWND hwnd_ = nullptr;
    TWindow* parent_ = nullptr;
    TWindow* pendingParent_ = nullptr;  // between CreateOwn and WM_NCCREATE
    WNDPROC controlProc_ = nullptr;  // the standard control's own procedure
    std::vector<TWindow*> children_;
};

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

}  // namespace vx::ui
