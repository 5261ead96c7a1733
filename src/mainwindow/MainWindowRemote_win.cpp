// The View menu's "Remote clients...": the TCP listener of the main window,
// its settings, and the road of a remote record into the section manager.
#include "mainwindow/RemoteClientsDialog_win.h"
#include "mainwindow/SectionManager.h"
#include "mainwindow/form_MainWindow_win.h"
#include "net/TcpListener_win.h"

namespace vx {

namespace {
constexpr const char* kRemoteCaption = "&Remote clients...";
}

void TTcpListenerDeleter::operator()(net::TTcpListener* listener) const {
    delete listener;
}
void TRemoteDialogDeleter::operator()(net::IRemoteClientsDialog* dialog) const {
    delete dialog;
}

void Tfrm_VexelDebugWindow::CreateRemoteAction() {
    act_RemoteClients =
        &Actions.Add("act_RemoteClients", "View", kRemoteCaption,
                     "Takes records over TCP from programs on other desktops and computers",
                     [this](ui::TAction&) { act_RemoteClientsExecute(); });
}

std::string Tfrm_VexelDebugWindow::ApplyTcpSettings(const net::TTcpSettings& settings) {
    if (std::string problem = net::TcpSettingsProblem(settings); !problem.empty()) return problem;
    if (!Tcp) {
        Tcp.reset(
            new net::TTcpListener(Handle(), kTcpSocketMessage, kTcpResumeMessage, kTcpStallTimer));
        Tcp->OnRecord = [this](const std::string& host, uint32_t wParam, std::string_view block) {
            std::string failure;
            TBuildTimer timer(*this);
            switch (Manager->DispatchRemote(host, wParam, block.data(), block.size(), &failure)) {
            case TSectionManager::TRemoteResult::rrApplied:
                return std::string();
            case TSectionManager::TRemoteResult::rrUnknownKind:
                return std::string("unknown kind");
            case TSectionManager::TRemoteResult::rrShort:
                return std::string("short record");
            case TSectionManager::TRemoteResult::rrFailed:
                return failure;
            case TSectionManager::TRemoteResult::rrTooManySections:
                return "its host has " + std::to_string(TSectionManager::kMaxRemoteSections) +
                       " sections already";
            }
            return failure;
        };
        Tcp->OnLog = [this](const std::string& text) {
            if (OnRemoteTrouble) OnRemoteTrouble(text);
        };
        Tcp->OnEnded = [this](const std::string& host) { Manager->RemoteRecordsEnded(host); };
    }
    const net::TTcpSettings old =
        ctx_.Registry ? net::LoadTcpSettings(*ctx_.Registry) : net::TTcpSettings{};
    // OK without a change keeps the connections.
    if (settings == old && Tcp->Listening() == settings.Listen) return {};
    std::string problem = Tcp->Start(settings);
    if (!problem.empty()) {
        // The old port goes on as before, when it can.
        if (old.Listen && net::TcpSettingsProblem(old).empty()) Tcp->Start(old);
    } else if (ctx_.Registry) {
        net::SaveTcpSettings(*ctx_.Registry, settings);
    }
    if (act_RemoteClients) act_RemoteClients->SetChecked(Tcp->Listening());
    return problem;
}

void Tfrm_VexelDebugWindow::act_RemoteClientsExecute() {
    if (!RemoteDialog) {
        if (!ownRemoteDialog_) ownRemoteDialog_.reset(new TRemoteClientsDialogWin(Handle()));
        RemoteDialog = ownRemoteDialog_.get();
    }
    net::TTcpSettings current =
        ctx_.Registry ? net::LoadTcpSettings(*ctx_.Registry) : net::TTcpSettings{};
    RemoteDialog->Run(current, [this](const net::TTcpSettings& s) { return ApplyTcpSettings(s); });
}

void Tfrm_VexelDebugWindow::LoadTcpSetting() {
    if (!ctx_.Registry) return;
    net::TTcpSettings settings = net::LoadTcpSettings(*ctx_.Registry);
    if (!settings.Listen) return;
    std::string problem = ApplyTcpSettings(settings);
    if (!problem.empty()) SetInformationLine("Remote clients: " + problem);
}

void Tfrm_VexelDebugWindow::StopTcp() {
    if (Tcp) Tcp->Stop();
    if (act_RemoteClients) act_RemoteClients->SetChecked(false);
}

bool Tfrm_VexelDebugWindow::TcpMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    // Only the listener's own messages apply records: another message (one
    // sent while an outer burst is open, say) must not end that burst early.
    if (msg != kTcpSocketMessage && msg != kTcpResumeMessage && msg != WM_TIMER)
        return Tcp->HandleMessage(msg, wParam, lParam);
    TSectionManager::TBurst burst(*Manager);
    return Tcp->HandleMessage(msg, wParam, lParam);
}

} // namespace vx
