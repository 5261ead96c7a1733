#include "mainwindow/form_MainWindow_win.h"

#include "mainwindow/ResourceCounts_win.h"
#include "mainwindow/SectionManager.h"

#include "forms/ProgramVersion_win.h"
#include "forms/form_About.h"
#include "forms/form_About_win.h"
#include "forms/form_Splash_win.h"
#include "protocol/Common_Types.h"
#include "protocol/vxDebugIntf.h"
#include "sections/frame_Sections_win.h"
#include "ui/Dpi_win.h"

#include <algorithm>
#include <cstdio>

namespace vx {

namespace {

Tfrm_VexelDebugWindow* g_keyWindow = nullptr; // the window of the thread's key hook

// The side bar and the sections are windows of their own that each handle
// their keys; Tab from one to the other is seen here, before either.
LRESULT CALLBACK TabHook(int code, WPARAM key, LPARAM lParam) {
    const bool down = !(lParam & 0x80000000);
    if (code == HC_ACTION && down && key == VK_TAB && g_keyWindow && GetKeyState(VK_CONTROL) >= 0 &&
        GetKeyState(VK_MENU) >= 0 && g_keyWindow->TabKey(GetKeyState(VK_SHIFT) < 0))
        return 1;
    return CallNextHookEx(nullptr, code, key, lParam);
}

Tfme_Sections* FrontFrame(HWND dock) {
    for (HWND h = dock ? GetTopWindow(dock) : nullptr; h; h = GetWindow(h, GW_HWNDNEXT)) {
        if (!IsWindowVisible(h)) continue;
        if (auto* frame = dynamic_cast<Tfme_Sections*>(ui::TWindow::FromHandle(h))) return frame;
    }
    return nullptr;
}

} // namespace

void Tfrm_VexelDebugWindow::FormCreate() {
    if (!g_keyWindow) {
        g_keyWindow = this;
        keyHook_ = SetWindowsHookExA(WH_KEYBOARD, &TabHook, nullptr, GetCurrentThreadId());
    }
    LoadSettings();
    SetInformationLine(kWelcomeText);
    LoadCaptureSetting();
    LoadTcpSetting();
    LoadSessionSettings();
    LoadTimeColumnsSetting();
    Hint = "vxDebugger v" + ProgramVersionText() + " - The debugging tool for Borland Delphi";
}

void Tfrm_VexelDebugWindow::SetInformationLine(const std::string& text) {
    Panel_InformationLine.SetCaption(" " + text);
}

void Tfrm_VexelDebugWindow::SetStatusPanel(int panel, const std::string& text) {
    if (panel >= 1 && panel <= 3) StatusBar.SetPanelText(panel, text);
}

TMainWindowSettings Tfrm_VexelDebugWindow::CurrentSettings() const {
    TMainWindowSettings s;
    RECT r;
    GetWindowRect(Handle(), &r);
    if (IsIconic(Handle())) {
        WINDOWPLACEMENT wp{};
        wp.length = sizeof wp;
        GetWindowPlacement(Handle(), &wp);
        r = wp.rcNormalPosition;
    }
    s.Left = r.left;
    s.Top = r.top;
    s.Width = r.right - r.left;
    s.Height = r.bottom - r.top;
    s.InformationLine = Panel_InformationLine.Visible();
    s.StatusBar = StatusBar.Visible();
    s.SideBar = SideBarDock.Visible();
    s.LargeIcons =
        !vxOutlookBar || vxOutlookBar->HeaderSettings().ButtonStyle() == TButtonStyle::bsLarge;
    s.OutlookBarWidth = vxOutlookBar ? vxOutlookBar->Width() : SideBarDock.Width();
    return s;
}

void Tfrm_VexelDebugWindow::LoadSettings() {
    TMainWindowSettings s =
        LoadMainWindowSettings(*ctx_.Registry, *ctx_.Platform.Screen, CurrentSettings());
    SetBounds(s.Left, s.Top, s.Width, s.Height);
    act_InformationLine->SetChecked(s.InformationLine);
    act_SmallIcons->SetChecked(!s.LargeIcons);
    act_LargeIcons->SetChecked(s.LargeIcons);
    if (vxOutlookBar)
        vxOutlookBar->HeaderSettings().SetButtonStyle(
            act_LargeIcons->Checked() ? TButtonStyle::bsLarge : TButtonStyle::bsSmall);
    act_SideBar->SetChecked(s.SideBar);
    act_StatusBar->SetChecked(s.StatusBar);
    ApplyViewChecks();
}

void Tfrm_VexelDebugWindow::SaveSettings() {
    SaveMainWindowSettings(*ctx_.Registry, CurrentSettings());
    SaveCaptureSetting();
    SaveSessionSettings();
}

void Tfrm_VexelDebugWindow::ApplyViewChecks() {
    Panel_InformationLine.SetVisible(act_InformationLine->Checked());
    Splitter.SetVisible(act_SideBar->Checked());
    SideBarDock.SetVisible(act_SideBar->Checked());
    StatusBar.SetVisible(act_StatusBar->Checked());
}

void Tfrm_VexelDebugWindow::ViewToggle(ui::TAction& action) {
    action.SetChecked(!action.Checked());
    ApplyViewChecks();
}

void Tfrm_VexelDebugWindow::IconStyleChange(ui::TAction& sender) {
    bool large = &sender == act_LargeIcons;
    act_LargeIcons->SetChecked(large);
    act_SmallIcons->SetChecked(!large);
    if (vxOutlookBar)
        vxOutlookBar->HeaderSettings().SetButtonStyle(large ? TButtonStyle::bsLarge
                                                            : TButtonStyle::bsSmall);
}

void Tfrm_VexelDebugWindow::ApplicationCtrlHint(const std::string& hint) {
    StatusBar.SetPanelText(0, hint);
}

void Tfrm_VexelDebugWindow::act_ShowExecute() {
    if (!Handle()) return;
    if (IsIconic(Handle())) ShowWindow(Handle(), SW_RESTORE);
    ShowWindow(Handle(), SW_SHOW);
    SetForegroundWindow(Handle());
    BringWindowToTop(Handle());
}

void Tfrm_VexelDebugWindow::HideToTray() {
    if (Handle()) ShowWindow(Handle(), SW_HIDE);
}

void Tfrm_VexelDebugWindow::act_ExitExecute() {
    CloseQueryAndClose();
}

void Tfrm_VexelDebugWindow::act_AboutExecute() {
    if (About) About->Execute();
}

void Tfrm_VexelDebugWindow::act_WebSiteExecute() {
    if (ctx_.Platform.Shell) ctx_.Platform.Shell->Open(kPublisherWebPage, "", SW_SHOWNOACTIVATE);
}

bool Tfrm_VexelDebugWindow::ModalBoxOpen() const {
    if (About && About->Showing()) return true;
    // Every other modal box of the program (input box, export and save
    // dialogs, message boxes) is owned by this window and disables it while
    // it waits for its answer.
    return Handle() && !IsWindowEnabled(Handle());
}

namespace {

struct TOwnedBox {
    HWND Owner;
    HWND Found = nullptr;
};

BOOL CALLBACK FindOwnedBox(HWND hwnd, LPARAM param) {
    auto* box = reinterpret_cast<TOwnedBox*>(param);
    if (GetWindow(hwnd, GW_OWNER) != box->Owner || !IsWindowVisible(hwnd) || !IsWindowEnabled(hwnd))
        return TRUE;
    box->Found = hwnd;
    return FALSE;
}

} // namespace

void Tfrm_VexelDebugWindow::BringModalBoxToFront() {
    HWND box = nullptr;
    if (About && About->Showing()) {
        box = About->Handle();
    } else {
        box = GetLastActivePopup(Handle());
        if (!box || box == Handle() || !IsWindowEnabled(box)) {
            TOwnedBox owned{Handle()};
            EnumThreadWindows(GetCurrentThreadId(), &FindOwnedBox, LPARAM(&owned));
            box = owned.Found;
        }
    }
    // The box belongs to the main window: both come back from the tray.
    if (!IsWindowVisible(Handle())) {
        ShowWindow(Handle(), IsIconic(Handle()) ? SW_RESTORE : SW_SHOW);
    }
    if (!box) return;
    SetForegroundWindow(box);
    BringWindowToTop(box);
}

bool Tfrm_VexelDebugWindow::CloseQueryAndClose() {
    if (closing_ || !Handle()) return true;
    // The tray icon's menu still works while a modal box waits; shutting down
    // then would free the sections that the box's caller is using.
    if (ModalBoxOpen()) {
        BringModalBoxToFront();
        return false;
    }
    // FormCloseQuery: only Yes lets the window close.
    if (!ctx_.Platform.Dialogs->ConfirmYesNo(kExitQuestion)) return false;
    closing_ = true;
    FormClose();
    DestroyWindow(Handle()); // FormDestroy runs at WM_DESTROY
    if (OnClosed) OnClosed();
    return true;
}

void Tfrm_VexelDebugWindow::FormShow() {
    Broadcast(vnShown);
}

void Tfrm_VexelDebugWindow::FormClose() {
    Broadcast(vnClosing);
    StopTcp();
    SaveSettings();
}

void Tfrm_VexelDebugWindow::FormDestroy() {
    if (destroyed_) return;
    destroyed_ = true;
    if (keyHook_) UnhookWindowsHookEx(keyHook_);
    keyHook_ = nullptr;
    if (g_keyWindow == this) g_keyWindow = nullptr;
    Timer.SetEnabled(false);
    LMDTrayIcon.Hide();
    StopCapture();
    StopTcp();
    StopSessions();
    FreeAllSections();
    // The bar frees its own windows; that must happen before its parent goes.
    vxOutlookBar.reset();
    vxOutlookBarHandle = nullptr;
}

// Windows is ending the session, maybe with a modal box open: no question and
// nothing freed, but clients hear of it, and the window's settings and every
// section's panel layout are kept. The process may end any time after this.
void Tfrm_VexelDebugWindow::EndSession() {
    if (closing_) return;
    closing_ = true;
    FormClose();
    if (Manager) Manager->SaveAllPanelSettings();
    StopSessions(); // every log on the disk
}

void Tfrm_VexelDebugWindow::TimerTimer() {
    if (Splash && SplashTimerTick(Splash, Timer.Handle(), ui::TTimer::kTimerId))
        Timer.SetEnabled(false);
}

void Tfrm_VexelDebugWindow::Broadcast(WPARAM notice) {
    PostMessageA(HWND_BROADCAST, WM_DEBUGGER2CLIENT, notice,
                 reinterpret_cast<LPARAM>(AnnouncedHandle()));
}

namespace {
// Posted by the receiver when it has records for this window.
constexpr UINT kClientRecordsMessage = WM_APP + 101;
// A batch is applied in slices of this length: the window answers within 50 ms.
constexpr ULONGLONG kClientSliceMs = 15;
} // namespace

bool Tfrm_VexelDebugWindow::StartClientReceiver(const TClientReceiver::TLimits& limits) {
    if (Receiver) return true;
    auto receiver = std::make_unique<TClientReceiver>(Handle(), kClientRecordsMessage, limits);
    if (!receiver->Start()) return false;
    Receiver = std::move(receiver);
    return true;
}

HWND Tfrm_VexelDebugWindow::AnnouncedHandle() const {
    return Receiver ? Receiver->Handle() : Handle();
}

bool Tfrm_VexelDebugWindow::ClientMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (msg != 0 && msg == WM_CLIENT2DEBUGGER) {
        result = 0;
        if (Manager->Handshake(uint32_t(wParam)))
            PostMessageA(reinterpret_cast<HWND>(lParam), WM_DEBUGGER2CLIENT, vnAnswer,
                         reinterpret_cast<LPARAM>(AnnouncedHandle()));
        return true;
    }
    if (msg == WM_COPYDATA) {
        result = WMCopyData(wParam, lParam);
        return true;
    }
    if (Tcp && TcpMessage(msg, wParam, lParam)) {
        result = 0;
        return true;
    }
    if (msg == kClientRecordsMessage) {
        result = 0;
        ApplyClientRecordSlice();
        return true;
    }
    return false;
}

LRESULT Tfrm_VexelDebugWindow::WMCopyData(WPARAM wParam, LPARAM lParam) {
    auto* cds = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
    if (!cds) return 0;
    // What the receiver took before this record goes first: a client that
    // turns from the receiver to this window keeps its order.
    ApplyClientRecords();
    DispatchClientRecord(uint32_t(wParam), cds->lpData, cds->cbData);
    return 0;
}

void Tfrm_VexelDebugWindow::RestoreFocus() {
    auto usable = [this](HWND h) {
        return h && IsWindow(h) && IsChild(Handle(), h) && IsWindowVisible(h) &&
               IsWindowEnabled(h) && h != ToolBar_MainMenu.Handle();
    };
    HWND target = usable(lastFocus_) ? lastFocus_ : nullptr;
    if (!target)
        if (Tfme_Sections* frame = FrontFrame(PANEL_PLUGIN_DOCK.Handle()))
            if (usable(frame->lst_Debug.Handle())) target = frame->lst_Debug.Handle();
    if (!target && usable(vxOutlookBarHandle)) target = vxOutlookBarHandle;
    if (target) SetFocus(target);
}

bool Tfrm_VexelDebugWindow::TabKey(bool back) {
    HWND focus = GetFocus();
    if (!focus || !IsChild(Handle(), focus)) return false; // a dialog's own Tab
    GUITHREADINFO thread{};
    thread.cbSize = sizeof thread;
    if (GetGUIThreadInfo(GetCurrentThreadId(), &thread) && (thread.flags & GUI_INMENUMODE))
        return false; // a menu is open and has the keys
    Tfme_Sections* frame = FrontFrame(PANEL_PLUGIN_DOCK.Handle());
    std::vector<HWND> stops = frame ? frame->TabStops() : std::vector<HWND>{};
    const bool inBar =
        vxOutlookBarHandle && (focus == vxOutlookBarHandle || IsChild(vxOutlookBarHandle, focus));
    if (inBar) {
        if (stops.empty()) return false;
        SetFocus(back ? stops.back() : stops.front());
        return true;
    }
    // Out of the section at its last part (or before its first) to the side bar.
    if (stops.empty() || !vxOutlookBarHandle || !IsWindowVisible(vxOutlookBarHandle)) return false;
    if (focus != (back ? stops.front() : stops.back())) return false;
    SetFocus(vxOutlookBarHandle);
    return true;
}

Tfrm_VexelDebugWindow::TBuildTimer::TBuildTimer(Tfrm_VexelDebugWindow& window)
    : window_(window), sections_(window.Manager ? window.Manager->SectionCount() : 0) {
    QueryPerformanceCounter(&start_);
}

Tfrm_VexelDebugWindow::TBuildTimer::~TBuildTimer() {
    if (!window_.Manager || window_.Manager->SectionCount() <= sections_) return;
    LARGE_INTEGER end, frequency;
    QueryPerformanceCounter(&end);
    QueryPerformanceFrequency(&frequency);
    ++window_.sectionsBuilt_;
    window_.lastBuildMicros_ = (end.QuadPart - start_.QuadPart) * 1000000 / frequency.QuadPart;
    window_.longestBuildMicros_ = std::max(window_.longestBuildMicros_, window_.lastBuildMicros_);
}

void Tfrm_VexelDebugWindow::DispatchClientRecord(uint32_t wParam, const void* data, size_t size) {
    TBuildTimer timer(*this);
    if (Dispatcher)
        Dispatcher->DispatchRecord(wParam, data, size);
    else
        Manager->WMCopyData(wParam, data, size);
}

void Tfrm_VexelDebugWindow::ApplyClientRecords() {
    ApplyClientRecordsUntil(0);
}

void Tfrm_VexelDebugWindow::ApplyClientRecordSlice() {
    // The rest comes after what others posted meanwhile.
    if (ApplyClientRecordsUntil(GetTickCount64() + kClientSliceMs))
        PostMessageA(Handle(), kClientRecordsMessage, 0, 0);
}

bool Tfrm_VexelDebugWindow::ApplyClientRecordsUntil(ULONGLONG deadline) {
    if (!Receiver) return false;
    TSectionManager::TBurst burst(*Manager);
    // A record is taken off the inbox before it is applied, so a call nested
    // in its error box (which pumps messages) goes on with the records after
    // it and the order holds.
    for (;;) {
        if (clientInbox_.empty()) {
            clientInbox_ = Receiver->TakeBatch();
            if (clientInbox_.empty()) return false;
        }
        // Past the deadline, what is left of the inbox waits for the next
        // slice; what the receiver queues meanwhile it announces itself.
        if (deadline && GetTickCount64() >= deadline) return true;
        TClientReceiver::TRecord rec = std::move(clientInbox_.front());
        clientInbox_.pop_front();
        // One record's failure must not cost the records after it.
        try {
            DispatchClientRecord(rec.WParam, rec.HasBlock ? rec.Block.data() : nullptr,
                                 rec.Block.size());
        } catch (const std::exception& e) {
            Manager->FlushBurst();
            ui::HandleException(e);
        }
        if (rec.SenderWaits) Receiver->Applied(rec.Sequence);
    }
}

LRESULT Tfrm_VexelDebugWindow::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    if (CaptionGradient.HandleMessage(msg, wParam, lParam, result)) return result;
    if (ClientMessage(msg, wParam, lParam, result)) return result;
    if (msg != 0 && msg == ResourceCountsMessage()) {
        if (wParam == rcSectionsBuilt) return LRESULT(sectionsBuilt_);
        if (wParam == rcLastBuildMicros) return LRESULT(lastBuildMicros_);
        if (wParam == rcLongestBuildMicros) return LRESULT(longestBuildMicros_);
        return LRESULT(CountOwnResources(wParam));
    }
    switch (msg) {
    case WM_WINDOWPOSCHANGED:
        // Every way of becoming visible passes here (WM_SHOWWINDOW is not
        // sent for SW_SHOWNORMAL or a restore from the minimised state).
        if (reinterpret_cast<const WINDOWPOS*>(lParam)->flags & SWP_SHOWWINDOW) FormShow();
        break;
    case WM_CLOSE:
        if (!closing_) {
            HideToTray();
            return 0;
        }
        break;
    case WM_SIZE:
        if (wParam == SIZE_MINIMIZED) {
            HideToTray();
            return 0;
        }
        break;
    case WM_SYSCOMMAND:
        if ((wParam & 0xFFF0) == SC_MINIMIZE) {
            HideToTray();
            return 0;
        }
        if ((wParam & 0xFFF0) == SC_KEYMENU && lParam == 0) {
            // F10 or a lone Alt: the menu tool bar stands in for a menu bar.
            ToolBar_MainMenu.ToggleMenuMode();
            return 0;
        }
        if ((wParam & 0xFFF0) == SC_KEYMENU && lParam) {
            int index = ToolBar_MainMenu.FindAccelerator(char(lParam));
            if (index >= 0) {
                ToolBar_MainMenu.DropDownByKey(index);
                return 0;
            }
        }
        break;
    case WM_ACTIVATE:
        if (LOWORD(wParam) == WA_INACTIVE) {
            HWND focus = GetFocus();
            if (focus && IsChild(Handle(), focus)) lastFocus_ = focus;
        }
        break;
    case WM_SETFOCUS:
        RestoreFocus();
        return 0;
    case WM_SYSCHAR:
        if (ToolBar_MainMenu.FindAccelerator(char(wParam)) < 0 && vxOutlookBar &&
            vxOutlookBar->DialogChar(char(wParam), true))
            return 0;
        break;
    case WM_COMMAND:
        // Menus that others track (the side bar's) send their commands here.
        if (lParam == 0 && HIWORD(wParam) == 0) {
            if (ui::TPopupMenu* m = ui::TPopupMenu::FromCommand(LOWORD(wParam))) {
                m->Click(LOWORD(wParam));
                return 0;
            }
        }
        break;
    case WM_INITMENUPOPUP:
        if (ui::TPopupMenu* m = ui::TPopupMenu::FromHandle(reinterpret_cast<HMENU>(wParam))) {
            m->Update();
            return 0;
        }
        break;
    case WM_MENUSELECT:
        if (!(HIWORD(wParam) & MF_POPUP) && LOWORD(wParam))
            if (ui::TPopupMenu* m = ui::TPopupMenu::FromCommand(LOWORD(wParam)))
                Hints.SetHint(m->HintOf(LOWORD(wParam)));
        break;
    case WM_SYSCOLORCHANGE:
        if (vxOutlookBarHandle) SendMessageA(vxOutlookBarHandle, msg, wParam, lParam);
        break;
    case WM_QUERYENDSESSION:
        // Nothing is saved yet: another program may still refuse the log-off.
        return TRUE;
    case WM_ENDSESSION:
        if (wParam) EndSession();
        return 0;
    case kOdsBatchMessage:
        OdsBatch();
        return 0;
    case WM_DROPFILES:
    case kSessionReadMessage:
        if (SessionMessage(msg, wParam, lParam)) return 0;
        break;
    case WM_TIMER:
        if (SessionMessage(msg, wParam, lParam)) return 0;
        break;
    case kReleaseSectionMessage:
        if (Manager) Manager->ReleaseDeletedSection(int(wParam));
        return 0;
    case WM_DPICHANGED:
        ChangeDpi(HIWORD(wParam), reinterpret_cast<const RECT*>(lParam));
        return 0;
    case WM_DESTROY:
        ui::ForgetWindowDpi(Handle());
        FormDestroy();
        break;
    }
    return TWindow::WndProc(msg, wParam, lParam);
}

} // namespace vx
