#include "ui/Window_win.h"

#include "ui/CatchSite_win.h"

#include <windowsx.h>

#include <algorithm>
#include <map>
#include <mutex>
#include <string>
#include <unordered_map>
#include <stdexcept>
#include <typeinfo>
#include <vector>

namespace vx::ui {
namespace {

// The windows of this layer and their objects. Kept in the process rather
// than as window properties or data: under Wine every GetProp is a call to
// the server, and this lookup runs for every message and every notification
// a window of the layer receives (a client's record, each custom-drawn row).
struct TObjects {
    std::mutex Lock;
    std::unordered_map<HWND, TWindow*> Map;
};

TObjects& Objects() {
    static TObjects objects;
    return objects;
}

void Forget(HWND hwnd) {
    TObjects& o = Objects();
    std::lock_guard<std::mutex> guard(o.Lock);
    o.Map.erase(hwnd);
}

TExceptionHandler& ExceptionHandler() {
    static TExceptionHandler handler;
    return handler;
}

bool IsCtlColor(UINT msg) {
    return msg >= WM_CTLCOLORMSGBOX && msg <= WM_CTLCOLORSTATIC;
}

} // namespace

// The one place where the program registers window classes.
// Receivers on threads of their own make their windows here too.
const char* RegisterWindowClass(const TWindowClass& c) {
    static std::mutex lock;
    static std::map<std::string, bool> registered;
    std::lock_guard<std::mutex> guard(lock);
    bool& done = registered[c.Name];
    if (done) return c.Name;
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    wc.style = c.Style;
    wc.lpfnWndProc = &TWindow::WindowProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = c.Background;
    wc.hIcon = c.Icon;
    wc.hIconSm = c.SmallIcon;
    wc.lpszClassName = c.Name;
    RegisterClassExA(&wc);
    done = true;
    return c.Name;
}

COLORREF ToColorRef(TColor color) {
    if (color & 0xFF000000u) return GetSysColor(int(color & 0xFF));
    return COLORREF(color & 0xFFFFFF);
}

TWindow::~TWindow() {
    for (TWindow* child : children_)
        child->parent_ = nullptr;
    if (parent_) {
        auto& list = parent_->children_;
        list.erase(std::remove(list.begin(), list.end(), this), list.end());
    }
    if (hwnd_) {
        HWND h = hwnd_;
        Forget(h);
        if (controlProc_) SetWindowLongPtrA(h, GWLP_WNDPROC, LONG_PTR(controlProc_));
        hwnd_ = nullptr;
        if (!adopted_) DestroyWindow(h);
    }
}

TWindow* TWindow::FromHandle(HWND hwnd) {
    if (!hwnd) return nullptr;
    TObjects& o = Objects();
    std::lock_guard<std::mutex> guard(o.Lock);
    auto it = o.Map.find(hwnd);
    return it == o.Map.end() ? nullptr : it->second;
}

void TWindow::Attach(HWND hwnd, TWindow* parent) {
    hwnd_ = hwnd;
    {
        TObjects& o = Objects();
        std::lock_guard<std::mutex> guard(o.Lock);
        o.Map[hwnd] = this;
    }
    parent_ = parent;
    if (parent) parent->children_.push_back(this);
}

bool TWindow::CreateOwn(TWindow* parent, DWORD style, DWORD exStyle, const char* text,
                        HWND parentHandle) {
    TCreateParams params;
    params.Parent = parent;
    params.ParentHandle = parentHandle;
    params.Style = style;
    params.ExStyle = exStyle;
    params.Text = text;
    return CreateOwn(params);
}

bool TWindow::CreateOwn(const TCreateParams& p) {
    const char* name = RegisterWindowClass(p.Class);
    HWND ph = p.Parent ? p.Parent->Handle() : p.ParentHandle;
    // The object travels as the creation parameter and is attached at WM_NCCREATE.
    pendingParent_ = p.Parent;
    HWND h =
        CreateWindowExA(p.ExStyle, name, p.Text, p.Style, p.Left, p.Top, p.Width, p.Height, ph,
                        reinterpret_cast<HMENU>(intptr_t(p.Id)), GetModuleHandleA(nullptr), this);
    return h != nullptr;
}

bool TWindow::CreateControl(const char* className, TWindow* parent, DWORD style, DWORD exStyle,
                            const char* text, int id) {
    TCreateParams params;
    params.Parent = parent;
    params.Style = style;
    params.ExStyle = exStyle;
    params.Text = text;
    params.Id = id;
    return CreateControl(className, params);
}

bool TWindow::CreateControl(const char* className, const TCreateParams& p) {
    HWND h = CreateWindowExA(p.ExStyle, className, p.Text, p.Style, p.Left, p.Top, p.Width,
                             p.Height, p.Parent ? p.Parent->Handle() : p.ParentHandle,
                             reinterpret_cast<HMENU>(intptr_t(p.Id)), GetModuleHandleA(nullptr),
                             nullptr);
    if (!h) return false;
    Attach(h, p.Parent);
    controlProc_ = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(h, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&TWindow::WindowProc)));
    SendMessageA(h, WM_SETFONT, WPARAM(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
    return true;
}

bool TWindow::Adopt(HWND existing) {
    if (!existing || hwnd_ || FromHandle(existing)) return false;
    Attach(existing, nullptr);
    adopted_ = true;
    controlProc_ = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(
        existing, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&TWindow::WindowProc)));
    return true;
}

// The one window procedure of the program: windows of the layer's own
// classes (the object arrives as the creation parameter) and the standard
// controls it subclasses (attached before they are subclassed).
LRESULT CALLBACK TWindow::WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_NCCREATE) {
        auto* self =
            static_cast<TWindow*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
        if (self && !FromHandle(hwnd)) {
            self->Attach(hwnd, self->pendingParent_);
            return self->Dispatch(msg, wParam, lParam);
        }
    }
    TWindow* self = FromHandle(hwnd);
    if (!self) return DefWindowProcA(hwnd, msg, wParam, lParam);
    return self->Dispatch(msg, wParam, lParam);
}

LRESULT TWindow::Dispatch(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_NCDESTROY) {
        HWND h = hwnd_;
        WNDPROC proc = controlProc_;
        LRESULT r = proc ? CallWindowProcA(proc, h, msg, wParam, lParam)
                         : DefWindowProcA(h, msg, wParam, lParam);
        Forget(h);
        if (proc) SetWindowLongPtrA(h, GWLP_WNDPROC, LONG_PTR(proc));
        hwnd_ = nullptr;
        Destroyed();
        return r;
    }
    // C++ exceptions must not unwind through the system's frames. The class
    // is taken first: a handler may free its own window before it throws.
    const std::type_info& type = SiteType();
    try {
        return WndProc(msg, wParam, lParam);
    } catch (const std::exception& e) {
        HandleException(e, CatchSite(type, msg, wParam, lParam));
    } catch (...) {
        HandleException(std::runtime_error("Unknown exception"),
                        CatchSite(type, msg, wParam, lParam));
    }
    return 0;
}

LRESULT TWindow::Default(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (controlProc_) return CallWindowProcA(controlProc_, hwnd_, msg, wParam, lParam);
    return DefWindowProcA(hwnd_, msg, wParam, lParam);
}

bool TWindow::Reflect(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (msg == WM_COMMAND && lParam) {
        TWindow* child = FromHandle(reinterpret_cast<HWND>(lParam));
        return child && child != this && child->OnCommand(HIWORD(wParam), result);
    }
    if (msg == WM_NOTIFY) {
        auto* header = reinterpret_cast<NMHDR*>(lParam);
        TWindow* child = FromHandle(header->hwndFrom);
        return child && child != this && child->OnNotify(header, result);
    }
    if (IsCtlColor(msg)) {
        TWindow* child = FromHandle(reinterpret_cast<HWND>(lParam));
        return child && child != this && child->OnCtlColor(reinterpret_cast<HDC>(wParam), result);
    }
    return false;
}

LRESULT TWindow::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    if (Reflect(msg, wParam, lParam, result)) return result;
    switch (msg) {
    case WM_SIZE: {
        LRESULT r = Default(msg, wParam, lParam);
        Realign();
        if (OnResize) OnResize(*this);
        return r;
    }
    case WM_CONTEXTMENU: {
        HWND from = reinterpret_cast<HWND>(wParam);
        if (OnContextMenu && (from == hwnd_ || IsChild(hwnd_, from))) {
            POINT pt{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
            if (lParam == -1) { // from the keyboard: the window's top-left corner
                pt = {2, 2};
                ClientToScreen(hwnd_, &pt);
            }
            OnContextMenu(*this, pt);
            return 0;
        }
        break;
    }
    }
    return Default(msg, wParam, lParam);
}

RECT TWindow::Bounds() const {
    RECT r{};
    if (!hwnd_) return r;
    GetWindowRect(hwnd_, &r);
    HWND parent = (GetWindowLongA(hwnd_, GWL_STYLE) & WS_CHILD) ? GetParent(hwnd_) : nullptr;
    if (parent) MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

void TWindow::SetBounds(int left, int top, int width, int height) {
    if (hwnd_)
        SetWindowPos(hwnd_, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

int TWindow::Width() const {
    RECT r = Bounds();
    return r.right - r.left;
}

int TWindow::Height() const {
    RECT r = Bounds();
    return r.bottom - r.top;
}

void TWindow::SetWidth(int width) {
    RECT r = Bounds();
    SetBounds(r.left, r.top, width, r.bottom - r.top);
    if (parent_) parent_->Realign();
}

void TWindow::SetHeight(int height) {
    RECT r = Bounds();
    SetBounds(r.left, r.top, r.right - r.left, height);
    if (parent_) parent_->Realign();
}

bool TWindow::Visible() const {
    return hwnd_ && (GetWindowLongA(hwnd_, GWL_STYLE) & WS_VISIBLE);
}

void TWindow::SetVisible(bool visible) {
    if (!hwnd_ || visible == Visible()) return;
    ShowWindow(hwnd_, visible ? SW_SHOW : SW_HIDE);
    if (parent_) parent_->Realign();
}

std::string TWindow::Text() const {
    if (!hwnd_) return {};
    std::vector<char> buf(GetWindowTextLengthA(hwnd_) + 1, '\0');
    GetWindowTextA(hwnd_, buf.data(), int(buf.size()));
    return buf.data();
}

void TWindow::SetText(const std::string& text) {
    if (hwnd_ && text != Text()) SetWindowTextA(hwnd_, text.c_str());
}

void TWindow::SetFont(HFONT font) {
    if (hwnd_) SendMessageA(hwnd_, WM_SETFONT, WPARAM(font), TRUE);
}

void TWindow::Invalidate() {
    if (hwnd_) InvalidateRect(hwnd_, nullptr, TRUE);
}

void TWindow::Realign() {
    if (!hwnd_) return;
    RECT area;
    GetClientRect(hwnd_, &area);
    area.left += Padding.left;
    area.top += Padding.top;
    area.right -= Padding.right;
    area.bottom -= Padding.bottom;
    auto place = [](TWindow* c, LONG l, LONG t, LONG r, LONG b) {
        c->SetBounds(l, t, std::max<LONG>(0, r - l), std::max<LONG>(0, b - t));
    };
    for (TAlign pass :
         {TAlign::alTop, TAlign::alBottom, TAlign::alLeft, TAlign::alRight, TAlign::alClient}) {
        for (TWindow* c : children_) {
            if (c->Align != pass || !c->Visible()) continue;
            switch (pass) {
            case TAlign::alTop: {
                int h = c->Height();
                place(c, area.left, area.top, area.right, area.top + h);
                area.top = std::min(area.bottom, area.top + h);
                break;
            }
            case TAlign::alBottom: {
                int h = c->Height();
                place(c, area.left, area.bottom - h, area.right, area.bottom);
                area.bottom = std::max(area.top, area.bottom - h);
                break;
            }
            case TAlign::alLeft: {
                int w = c->Width();
                place(c, area.left, area.top, area.left + w, area.bottom);
                area.left = std::min(area.right, area.left + w);
                break;
            }
            case TAlign::alRight: {
                int w = c->Width();
                place(c, area.right - w, area.top, area.right, area.bottom);
                area.right = std::max(area.left, area.right - w);
                break;
            }
            default:
                place(c, area.left, area.top, area.right, area.bottom);
                break;
            }
        }
    }
}

bool TOwnedWindow::Create(const TCreateParams& params, const std::type_info& owner) {
    owner_ = &owner;
    return CreateOwn(params);
}

bool TOwnedWindow::CreateChild(HWND parent, const char* className, int left, int top, int width,
                               int height, const char* text, THandler handler,
                               const std::type_info& owner) {
    TCreateParams params;
    params.Class.Name = className;
    params.Class.Style = 0;
    params.Text = text;
    params.Left = left;
    params.Top = top;
    params.Width = width;
    params.Height = height;
    params.ParentHandle = parent;
    Handler = std::move(handler);
    return Create(params, owner);
}

bool TOwnedWindow::CreateControl(const char* className, const TCreateParams& params,
                                 const std::type_info& owner) {
    owner_ = &owner;
    return TWindow::CreateControl(className, params);
}

bool TOwnedWindow::Adopt(HWND existing, const std::type_info& owner) {
    owner_ = &owner;
    return TWindow::Adopt(existing);
}

void TOwnedWindow::Destroy() {
    if (!Handle()) return;
    HWND h = Handle();
    Handler = nullptr;
    OnDestroyed = nullptr;
    DestroyWindow(h);
}

LRESULT TOwnedWindow::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    if (Reflect(msg, wParam, lParam, result)) return result;
    if (Handler) return Handler(msg, wParam, lParam);
    return Default(msg, wParam, lParam);
}

void TOwnedWindow::Destroyed() {
    if (OnDestroyed) OnDestroyed();
}

void SetExceptionHandler(TExceptionHandler handler) {
    ExceptionHandler() = std::move(handler);
}

void SetExceptionHandler(std::function<void(const std::exception& error)> handler) {
    if (!handler) return SetExceptionHandler(nullptr);
    ExceptionHandler() = [handler = std::move(handler)](const std::exception& e,
                                                        const std::string&) { handler(e); };
}

void SetExceptionHandler(std::nullptr_t) {
    ExceptionHandler() = nullptr;
}

void HandleException(const std::exception& error, const std::string& where) {
    if (ExceptionHandler()) {
        ExceptionHandler()(error, where);
        return;
    }
    MessageBoxA(nullptr, error.what(), "Error", MB_OK | MB_ICONERROR);
}

void ProcessMessages() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

} // namespace vx::ui
