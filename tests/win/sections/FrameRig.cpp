#include "FrameRig.h"

#include <algorithm>
#include <cstring>

namespace vxtest {

namespace {

// Frames of the running test, by handle: Pump waits until they show what
// their cores hold.
std::vector<HWND>& Frames() {
    static std::vector<HWND> frames;
    return frames;
}

} // namespace

TFrameRig::TFrameRig(vx::ISettingsBackend* settings, int width, int height) {
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES};
    InitCommonControlsEx(&icc);
    Registry = std::make_unique<vx::TRegistryHandler>(settings ? *settings : Memory);
    // One window for all tests of the program: taking a top-level window off
    // the screen costs Wine two seconds without a window manager.
    static TPlainHost* host = [] {
        auto* h = new TPlainHost({0, 0, 900, 640, true, "Section frame"});
        // The dock panel fills the window, as the main window's does.
        h->OnSize = [hwnd = h->Handle()](int width, int height) {
            if (auto* dock = vx::ui::TWindow::FromHandle(GetWindow(hwnd, GW_CHILD)))
                dock->SetBounds(0, 0, width, height);
        };
        return h;
    }();
    Window = host->Handle();
    SetWindowPos(Window, nullptr, 0, 0, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
    Dock = std::make_unique<vx::ui::TPanel>();
    vx::ui::TPanelStyle s;
    s.Color = 0xFF00000C;
    Dock->Create(nullptr, s, Window);
    RECT r;
    GetClientRect(Window, &r);
    Dock->SetBounds(0, 0, r.right, r.bottom);
    Frame = NewFrame();
    Pump();
}

TFrameRig::~TFrameRig() {
    Frame.reset();
    Dock.reset();
}

std::unique_ptr<vx::Tfme_Sections> TFrameRig::NewFrame() {
    vx::TSectionContext c;
    c.Platform = Platform.Services();
    c.Registry = Registry.get();
    c.Host = &Host;
    c.Viewer = &Viewer;
    c.Shared = &Shared;
    c.RuleEditor = &RuleEditor;
    auto frame = std::make_unique<vx::Tfme_Sections>(Dock->Handle(), c);
    // The tests see a whole frame at once; its steps have a test of their own.
    frame->FinishBuild();
    Frames().push_back(frame->Handle());
    return frame;
}

vx::TDebugInfoRec Rec(uint8_t group, uint8_t kind, const std::string& text, const std::string& data,
                      int line) {
    vx::TDebugInfoRec r;
    r.Group = group;
    r.Kind = kind;
    r.Text = text;
    r.Time = 46000.5;
    r.UnitName = "Main.pas";
    r.ProcName = "TForm1.Button1Click";
    r.LineNumber = line;
    if (!data.empty()) {
        r.DataSize = int32_t(data.size());
        r.Data = std::make_unique<uint8_t[]>(data.size());
        std::copy(data.begin(), data.end(), r.Data.get());
    }
    return r;
}

void Pump() {
    DispatchWaiting();
    DWORD start = GetTickCount();
    auto& frames = Frames();
    frames.erase(std::remove_if(frames.begin(), frames.end(), [](HWND h) { return !IsWindow(h); }),
                 frames.end());
    for (HWND h : frames) {
        auto* f = dynamic_cast<vx::Tfme_Sections*>(vx::ui::TWindow::FromHandle(h));
        while (f && f->UpdatePending() && GetTickCount() - start < 2000) {
            Sleep(10);
            DispatchWaiting();
        }
    }
}

std::string ItemText(HWND list, int item, int column) {
    char buf[512] = {};
    LVITEMA it{};
    it.iSubItem = column;
    it.pszText = buf;
    it.cchTextMax = sizeof buf;
    SendMessageA(list, LVM_GETITEMTEXTA, item, reinterpret_cast<LPARAM>(&it));
    return buf;
}

int ItemImage(HWND list, int item, int column) {
    LVITEMA it{};
    it.mask = LVIF_IMAGE;
    it.iItem = item;
    it.iSubItem = column;
    it.iImage = -99;
    SendMessageA(list, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&it));
    return it.iImage;
}

bool ItemState(HWND list, int item, UINT state) {
    return (SendMessageA(list, LVM_GETITEMSTATE, item, state) & state) != 0;
}

std::string MenuText(HMENU menu, int pos) {
    char buf[128] = {};
    GetMenuStringA(menu, UINT(pos), buf, sizeof buf, MF_BYPOSITION);
    return buf;
}

bool MenuEnabled(HMENU menu, int pos) {
    return !(GetMenuState(menu, UINT(pos), MF_BYPOSITION) & (MF_GRAYED | MF_DISABLED));
}

bool MenuChecked(HMENU menu, int pos) {
    return (GetMenuState(menu, UINT(pos), MF_BYPOSITION) & MF_CHECKED) != 0;
}

bool MenuSeparator(HMENU menu, int pos) {
    return (GetMenuState(menu, UINT(pos), MF_BYPOSITION) & MF_SEPARATOR) != 0;
}

void Choose(vx::ui::TPopupMenu& menu, const std::string& name) {
    menu.Update(); // as when it opens: enabled states first
    if (vx::ui::TMenuItem* item = menu.FindItem(name)) menu.Click(item->Id);
    Pump();
}

void Key(HWND window, WORD key) {
    SendMessageA(window, key == VK_F10 ? WM_SYSKEYDOWN : WM_KEYDOWN, key, 1);
    Pump();
}

void KeyWith(HWND window, WORD key, unsigned modifiers) {
    BYTE state[256];
    GetKeyboardState(state);
    BYTE held[256];
    memcpy(held, state, sizeof held);
    if (modifiers & vx::kmShift) held[VK_SHIFT] = 0x80;
    if (modifiers & vx::kmCtrl) held[VK_CONTROL] = 0x80;
    SetKeyboardState(held);
    SendMessageA(window, WM_KEYDOWN, key, 1);
    SetKeyboardState(state);
    Pump();
}

void Click(vx::ui::TWindow& button) {
    SendMessageA(button.Handle(), BM_CLICK, 0, 0);
    Pump();
}

} // namespace vxtest
