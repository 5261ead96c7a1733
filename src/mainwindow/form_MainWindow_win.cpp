#include "mainwindow/form_MainWindow_win.h"

#include "mainwindow/SectionManager.h"

#include "forms/ProgramVersion_win.h"
#include "forms/form_About.h"
#include "forms/form_About_win.h"
#include "forms/form_Splash_win.h"
#include "protocol/Common_Types.h"
#include "protocol/vxDebugIntf.h"

#include <cstdio>

namespace vx {

void Tfrm_VexelDebugWindow::FormCreate() {
    LoadSettings();
    SetInformationLine(kWelcomeText);
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
    s.LargeIcons = !vxOutlookBar ||
                   vxOutlookBar->HeaderSettings().ButtonStyle() == TButtonStyle::bsLarge;
    s.OutlookBarWidth = vxOutlookBar ? vxOutlookBar->Width() : SideBarDock.Width();
    return s;
}

void Tfrm_VexelDebugWindow::LoadSettings() {
    TMainWindowSettings s = LoadMainWindowSettings(*ctx_.Registry, *ctx_.Platform.Screen,
                                                   CurrentSettings());
    SetBounds(s.Left, s.Top, s.Width, s.Height);
    act_InformationLine->SetChecked(s.InformationLine);
    act_SmallIcons->SetChecked(!s.LargeIcons);
    act_LargeIcons->SetChecked(s.LargeIcons);
    if (vxOutlookBar)
        vxOutlookBar->HeaderSettings().SetButtonStyle(act_LargeIcons->Checked() ? TButtonStyle::bsLarge
                                                                                : TButtonStyle::bsSmall);
    act_SideBar->SetChecked(s.SideBar);
    act_StatusBar->SetChecked(s.StatusBar);
    ApplyViewChecks();
}

void Tfrm_VexelDebugWindow::SaveSettings() {
    SaveMainWindowSettings(*ctx_.Registry, CurrentSettings());
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

void Tfrm_VexelDebugWindow::act_ExitExecute() { CloseQueryAndClose(); }

void Tfrm_VexelDebugWindow::act_AboutExecute() {
    if (About) About->Execute();
}

void Tfrm_VexelDebugWindow::act_WebSiteExecute() {
    if (ctx_.Platform.Shell) ctx_.Platform.Shell->Open(kPublisherWebPage, "", SW_SHOWNOACTIVATE);
}

bool Tfrm_VexelDebugWindow::CloseQueryAndClose() {
    if (closing_ || !Handle()) return true;
    // FormCloseQuery: only Yes lets the window close.
    if (!ctx_.Platform.Dialogs->ConfirmYesNo(kExitQuestion)) return false;
    closing_ = true;
    FormClose();
    DestroyWindow(Handle());  // FormDestroy runs at WM_DESTROY
    if (OnClosed) OnClosed();
    return true;
}

void Tfrm_VexelDebugWindow::FormShow() { Broadcast(vnShown); }

void Tfrm_VexelDebugWindow::FormClose() {
    Broadcast(vnClosing);
    SaveSettings();
}

void Tfrm_VexelDebugWindow::FormDestroy() {
    if (destroyed_) return;
    destroyed_ = true;
    Timer.SetEnabled(false);
    LMDTrayIcon.Hide();
    FreeAllSections();
    // The bar frees its own windows; that must happen before its parent goes.
    vxOutlookBar.reset();
    vxOutlookBarHandle = nullptr;
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
}  // namespace

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

bool Tfrm_VexelDebugWindow::ClientMessage(UINT msg, WPARAM wParam, LPARAM lParam,
                                          LRESULT& result) {
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
    if (msg == kClientRecordsMessage) {
        result = 0;
        ApplyClientRecords();
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

void Tfrm_VexelDebugWindow::DispatchClientRecord(uint32_t wParam, const void* data, size_t size) {
    if (Dispatcher) Dispatcher->DispatchRecord(wParam, data, size);
    else Manager->WMCopyData(wParam, data, size);
}

void Tfrm_VexelDebugWindow::ApplyClientRecords() {
    if (!Receiver) return;
    // A record is taken off the inbox before it is applied, so a call nested
    // in its error box (which pumps messages) goes on with the records after
    // it and the order holds.
    for (;;) {
        if (clientInbox_.empty()) {
            clientInbox_ = Receiver->TakeBatch();
            if (clientInbox_.empty()) return;
        }
        TClientReceiver::TRecord rec = std::move(clientInbox_.front());
        clientInbox_.pop_front();
        // One record's failure must not cost the records after it.
        try {
            DispatchClientRecord(rec.WParam, rec.HasBlock ? rec.Block.data() : nullptr,
                                 rec.Block.size());
        } catch (const std::exception& e) {
            ui::HandleException(e);
        }
        if (rec.SenderWaits) Receiver->Applied(rec.Sequence);
    }
}

LRESULT Tfrm_VexelDebugWindow::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    if (CaptionGradient.HandleMessage(msg, wParam, lParam, result)) return result;
    if (ClientMessage(msg, wParam, lParam, result)) return result;
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
        if ((wParam & 0xFFF0) == SC_KEYMENU && lParam) {
            int index = ToolBar_MainMenu.FindAccelerator(char(lParam));
            if (index >= 0) {
                ToolBar_MainMenu.DropDown(index);
                return 0;
            }
        }
        break;
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
    case WM_ENDSESSION:
        // Windows is ending: no question, but clients hear of it and settings are kept.
        if (wParam && !closing_) {
            closing_ = true;
            FormClose();
        }
        return 0;
    case WM_DESTROY:
        FormDestroy();
        break;
    }
    return TWindow::WndProc(msg, wParam, lParam);
}

}  // namespace vx
