// Session files in the main window: "Open session..." and files dropped on
// the window (read on a thread of their own, shown as read-only sections),
// "Save section as...", the View menu's "Log every section to disk" with its
// one-second timer, and the history limit every section keeps.
#include "export/vxExportUI_win.h"
#include "mainwindow/SectionManager.h"
#include "mainwindow/form_MainWindow_win.h"
#include "sections/SectionCore.h"
#include "sections/frame_Sections_win.h"
#include "sessionlog/SectionJournal.h"
#include "sessionlog/SessionImage.h"
#include "sessionlog/SessionLogSettings.h"
#include "sessionlog/SessionNames.h"

#include <shellapi.h>

#include <atomic>
#include <cstdlib>
#include <deque>
#include <stdexcept>
#include <thread>

namespace vx {

namespace {

constexpr const char* kLogCaption = "Log every section to disk";
constexpr const char* kHistoryLimitSetting = "HistoryLimit";
constexpr const char* kSessionFilter = "Session files (*.vxs)|*.vxs|All files (*.*)|*.*";
constexpr const char* kFileHeader = "Session files";
// The logs reach the disk once a second: a crash, a killed process or a
// power cut loses at most the last second, and a flood costs one sync a
// second, not one per record.
constexpr UINT kLogIntervalMs = 1000;
constexpr UINT kProgressIntervalMs = 50;
constexpr DWORD kProgressAfterMs = 250; // a short read shows no window at all
constexpr int kProgressMax = 1000;

std::string FileNameOf(const std::string& path) {
    size_t slash = path.find_last_of("\\/:");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string EnvironmentValue(const char* name) {
    const char* v = std::getenv(name);
    return v ? v : "";
}

} // namespace

struct Tfrm_VexelDebugWindow::TSessions {
    TSessionLogSettings Log;
    size_t HistoryLimit = kDefaultHistoryLimit;

    // The file being read, and those waiting.
    struct TReading {
        std::string Path;
        std::thread Worker;
        std::atomic<uint64_t> Done{0}, Size{0};
        std::atomic<bool> Cancel{false};
        TSessionImage Image;
        TSessionScan Scan;
        DWORD Started = GetTickCount();
        std::unique_ptr<TvxExportProgressWin> Progress;
    };
    std::unique_ptr<TReading> Reading;
    std::deque<std::string> Waiting;
};

void Tfrm_VexelDebugWindow::TSessionsDeleter::operator()(TSessions* sessions) const {
    delete sessions;
}

// --- Settings and the View option ---

void Tfrm_VexelDebugWindow::CreateSessionActions() {
    Sessions.reset(new TSessions);
    act_OpenSession = &Actions.Add("act_OpenSession", "File", "&Open session...",
                                   "Opens a saved or logged session file as a read-only section",
                                   [this](ui::TAction&) { act_OpenSessionExecute(); });
    act_SaveSession = &Actions.Add("act_SaveSession", "File", "Save section &as...",
                                   "Saves the section in front in a session file",
                                   [this](ui::TAction&) { act_SaveSessionExecute(); });
    act_LogToDisk = &Actions.Add(
        "act_LogToDisk", "View", kLogCaption,
        "Appends every record of every section to the section's session file as it arrives",
        [this](ui::TAction&) { SetLogToDisk(!LoggingToDisk()); });
    DragAcceptFiles(Handle(), TRUE);
}

size_t Tfrm_VexelDebugWindow::HistoryLimit() const {
    return Sessions ? Sessions->HistoryLimit : kDefaultHistoryLimit;
}

bool Tfrm_VexelDebugWindow::LoggingToDisk() const {
    return Sessions && Sessions->Log.Enabled;
}

std::string Tfrm_VexelDebugWindow::LogFolder() const {
    return Sessions ? Sessions->Log.Folder : std::string();
}

void Tfrm_VexelDebugWindow::LoadSessionSettings() {
    if (!ctx_.Registry || !Sessions) return;
    std::string temp = ctx_.Platform.Files ? ctx_.Platform.Files->TempPath() : ".\\";
    TSessionLogSettings log = ReadSessionLogSettings(
        *ctx_.Registry, DefaultLogFolder(EnvironmentValue("LOCALAPPDATA"), temp));
    // Whatever the store holds: a negative count keeps the default.
    int limit = ctx_.Registry->RegReadInteger(kSessionLogSection, kHistoryLimitSetting,
                                              int(kDefaultHistoryLimit));
    Sessions->HistoryLimit = limit < 0 ? kDefaultHistoryLimit : size_t(limit);
    Sessions->Log.Folder = log.Folder;
    SetLogToDisk(log.Enabled);
}

void Tfrm_VexelDebugWindow::SaveSessionSettings() {
    if (!ctx_.Registry || !Sessions) return;
    WriteSessionLogSettings(*ctx_.Registry, Sessions->Log);
    ctx_.Registry->RegWriteInteger(kSessionLogSection, kHistoryLimitSetting,
                                   int(std::min<size_t>(Sessions->HistoryLimit, INT32_MAX)));
}

void Tfrm_VexelDebugWindow::AttachSessionLog(TSectionCore& core, TSectionJournal& journal) {
    core.SetHistoryLimit(HistoryLimit());
    core.SetJournal(&journal);
    TSectionCore* section = &core;
    journal.OnFailed = [this, section](const std::string& why) {
        // The section keeps its rows and takes more; only its file stops.
        std::string text = LogFailedText(section->ClientID, why);
        section->SetInformationNote("not logged: " + why);
        SetInformationLine(text);
    };
    if (LoggingToDisk()) journal.Arm(LogFolder(), ctx_.Platform.Clock);
}

void Tfrm_VexelDebugWindow::SetLogToDisk(bool on) {
    if (!Sessions) return;
    Sessions->Log.Enabled = on;
    act_LogToDisk->SetChecked(on);
    for (auto& section : Sections) {
        TSectionJournal* journal = JournalOf(*section);
        if (!journal) continue;
        if (on) {
            section->Core().SetInformationNote("");
            journal->Arm(LogFolder(), ctx_.Platform.Clock);
        } else {
            journal->Disarm();
        }
    }
    if (!Handle()) return;
    if (on)
        SetTimer(Handle(), kLogTimerId, kLogIntervalMs, nullptr);
    else
        KillTimer(Handle(), kLogTimerId);
}

// --- Save section as ---

TSectionCore* Tfrm_VexelDebugWindow::FrontSection() {
    for (HWND h = GetTopWindow(PANEL_PLUGIN_DOCK.Handle()); h; h = GetWindow(h, GW_HWNDNEXT)) {
        if (!IsWindowVisible(h)) continue;
        for (auto& section : Sections) {
            Tfme_Sections* frame = FrameOf(*section);
            if (frame && frame->Handle() == h && !section->Core().Deleted())
                return &section->Core();
        }
    }
    return nullptr;
}

bool Tfrm_VexelDebugWindow::SaveSectionAs(const TSectionCore& section, const std::string& path,
                                          std::string& error) {
    // A new file beside the target, renamed into place once whole.
    std::string temp;
    for (unsigned i = 0; i < 1000 && temp.empty(); ++i) {
        std::string candidate =
            path + "." + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(i) + ".tmp";
        if (GetFileAttributesA(candidate.c_str()) == INVALID_FILE_ATTRIBUTES) temp = candidate;
    }
    if (temp.empty()) {
        error = "no temporary name is free beside \"" + path + "\"";
        return false;
    }
    bool ok;
    {
        TSessionWriter writer;
        TDateTime now = ctx_.Platform.Clock ? ctx_.Platform.Clock->Now() : 0;
        ok = writer.Create(temp, now) && WriteSectionState(writer, section) && writer.Close();
        if (!ok) error = writer.Error();
    }
    if (ok && !MoveFileExA(temp.c_str(), path.c_str(),
                           MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        ok = false;
        error = "Cannot replace \"" + path + "\" (error " + std::to_string(GetLastError()) + ")";
    }
    if (!ok) DeleteFileA(temp.c_str());
    return ok;
}

void Tfrm_VexelDebugWindow::act_SaveSessionExecute(TSectionCore* section) {
    if (!section) section = FrontSection();
    IDialogs* dialogs = ctx_.Platform.Dialogs;
    if (!dialogs) return;
    if (!section) {
        dialogs->ShowInformation("There is no section to save.");
        return;
    }
    TSaveDialogParams params;
    params.Title = "Save section as";
    params.DefaultExt = kSessionExtension;
    params.Filter = kSessionFilter;
    params.FileName = SessionFileName(section->ClientID, ctx_.Platform.Clock->Now());
    std::string path;
    if (!dialogs->SaveFile(params, path)) return;
    std::string error;
    if (SaveSectionAs(*section, path, error))
        SetInformationLine("Section saved to \"" + path + "\"");
    else
        dialogs->ShowError("Cannot save the section to \"" + path + "\": " + error);
}

// --- Open session ---

bool Tfrm_VexelDebugWindow::ReadingSession() const {
    return Sessions && Sessions->Reading;
}

void Tfrm_VexelDebugWindow::act_OpenSessionExecute() {
    IDialogs* dialogs = ctx_.Platform.Dialogs;
    if (!dialogs) return;
    TSaveDialogParams params;
    params.Title = "Open session";
    params.DefaultExt = kSessionExtension;
    params.Filter = kSessionFilter;
    params.InitialDir = LogFolder();
    std::string path;
    if (dialogs->OpenFile(params, path)) OpenSessionFile(path);
}

bool Tfrm_VexelDebugWindow::OpenSessionFile(const std::string& path) {
    if (!Sessions || closing_) return false;
    if (Sessions->Reading) {
        Sessions->Waiting.push_back(path);
        return true;
    }
    auto reading = std::make_unique<TSessions::TReading>();
    TSessions::TReading* r = reading.get();
    r->Path = path;
    r->Image.KeepAtMost = HistoryLimit();
    HWND window = Handle();
    try {
        r->Worker = std::thread([r, window] {
            r->Scan = LoadSession(r->Path, r->Image, [r](uint64_t done, uint64_t size) {
                r->Done = done;
                r->Size = size;
                if (r->Cancel) throw std::runtime_error("reading was cancelled");
            });
            PostMessageA(window, kSessionReadMessage, 0, 0);
        });
    } catch (const std::exception& e) {
        ctx_.Platform.Dialogs->ShowError("Cannot open \"" + path + "\": " + e.what());
        return false;
    }
    Sessions->Reading = std::move(reading);
    SetInformationLine("Reading \"" + path + "\"...");
    SetTimer(Handle(), kOpenTimerId, kProgressIntervalMs, nullptr);
    return true;
}

namespace {

// The reading thread is done: the session becomes a section, or the user
// hears why it cannot be.
void ShowReadSession(Tfrm_VexelDebugWindow& window, const TPlatform& platform,
                     Tfrm_VexelDebugWindow::TSessions::TReading& r) {
    const TSessionScan& scan = r.Scan;
    IDialogs& dialogs = *platform.Dialogs;
    if (!scan.Opened || (scan.Records == 0 && !scan.Whole)) {
        std::string why = scan.Error == "not a session file" ? "it is not a session file"
                          : scan.Error.empty()               ? "it cannot be read"
                                                             : scan.Error;
        window.SetInformationLine("Cannot open \"" + r.Path + "\"");
        dialogs.ShowError("Cannot open \"" + r.Path + "\": " + why + ".");
        return;
    }
    TSessionImage& img = r.Image;
    std::string id = img.ClientID.empty() ? FileNameOf(r.Path) : img.ClientID;
    ISectionFrame* frame = window.Manager->CreateFileSection(id, kFileHeader, FileNameOf(r.Path));
    if (!frame) {
        dialogs.ShowError("Cannot open \"" + r.Path + "\": the section cannot be built.");
        return;
    }
    TSectionCore& core = frame->Core();
    core.ApplicationName = img.ApplicationName;
    core.Caption = img.Caption.empty() ? FileNameOf(r.Path) : img.Caption;
    core.LevelText = img.LevelText;
    core.AdoptSession(img.Rows, img.Billboard, img.Info);
    core.BringSectionToFront();
    if (!scan.Whole) {
        // What was good is shown; the user learns where reading stopped.
        std::string text = "\"" + r.Path + "\" is damaged at byte " +
                           std::to_string(scan.StopOffset) + " (" + scan.Error +
                           "): " + std::to_string(scan.Records) +
                           " records before it were read, what follows is left out.";
        core.SetInformationNote("damaged at byte " + std::to_string(scan.StopOffset));
        dialogs.ShowInformation(text);
    }
}

} // namespace

bool Tfrm_VexelDebugWindow::SessionMessage(UINT msg, WPARAM wParam, LPARAM) {
    if (!Sessions) return false;
    if (msg == WM_TIMER && wParam == kLogTimerId) {
        TDateTime now = ctx_.Platform.Clock->Now();
        for (auto& section : Sections)
            if (TSectionJournal* journal = JournalOf(*section)) journal->Tick(section->Core(), now);
        return true;
    }
    if (msg == WM_TIMER && wParam == kOpenTimerId) {
        TSessions::TReading* r = Sessions->Reading.get();
        if (!r) {
            KillTimer(Handle(), kOpenTimerId);
            return true;
        }
        if (!r->Progress && GetTickCount() - r->Started >= kProgressAfterMs) {
            TvxMessagesOptions m;
            m.Caption = "Open session";
            m.Text = "Reading " + FileNameOf(r->Path) + "...";
            m.Width = 360;
            r->Progress = std::make_unique<TvxExportProgressWin>(Handle(), m, kProgressMax);
        }
        uint64_t size = r->Size, done = r->Done;
        if (r->Progress && size) r->Progress->SetPosition(int(done * kProgressMax / size));
        return true;
    }
    if (msg == WM_DROPFILES) {
        HDROP drop = reinterpret_cast<HDROP>(wParam);
        UINT count = DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0);
        for (UINT i = 0; i < count; ++i) {
            char name[MAX_PATH * 4] = {};
            if (DragQueryFileA(drop, i, name, sizeof name)) OpenSessionFile(name);
        }
        DragFinish(drop);
        return true;
    }
    if (msg == kSessionReadMessage) {
        if (!Sessions->Reading) return true;
        Sessions->Reading->Worker.join();
        KillTimer(Handle(), kOpenTimerId);
        std::unique_ptr<TSessions::TReading> done = std::move(Sessions->Reading);
        done->Progress.reset();
        try {
            ShowReadSession(*this, ctx_.Platform, *done);
        } catch (const std::exception& e) {
            ui::HandleException(e, "Open session");
        }
        if (!Sessions->Waiting.empty()) {
            std::string next = Sessions->Waiting.front();
            Sessions->Waiting.pop_front();
            OpenSessionFile(next);
        }
        return true;
    }
    return false;
}

void Tfrm_VexelDebugWindow::StopSessions() {
    if (!Sessions) return;
    if (Handle()) {
        KillTimer(Handle(), kLogTimerId);
        KillTimer(Handle(), kOpenTimerId);
    }
    Sessions->Waiting.clear();
    if (Sessions->Reading) {
        Sessions->Reading->Cancel = true;
        Sessions->Reading->Worker.join();
        Sessions->Reading.reset();
    }
    // Each log gets what is pending and goes to the disk.
    for (auto& section : Sections)
        if (TSectionJournal* journal = JournalOf(*section)) journal->Stop();
}

} // namespace vx
