// A long day in the viewer's life: rounds of ten clients (one big one that
// connects and disconnects in bursts, nine smaller ones beside it), each big
// list exported as CSV through the section's own export commands, and every
// section of the round disconnected and deleted before the next round. The
// viewer answers its own resident size, USER and GDI objects and handles (the
// registered message "vxDebuggerResourceCounts"); they are read once the
// warm-up round is gone and again after the last round's deletions.
// Prints one figure a line as "name: value unit"; the progress of each round
// goes to stderr.
// Usage: vxsoak [ROUNDS] [BIG_ROWS] [SMALL_ROWS] [HISTORY_LIMIT]
#include "ViewerProcess.h"

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <memory>
#include <string>
#include <thread>
#include <vector>

using namespace vxtest;

namespace {

constexpr int kSmallClients = 9;
constexpr int kBursts = 5;          // the big client connects and disconnects this often
constexpr int kDebugMenuExport = 5; // "&Export..." among the debug list's menu entries
constexpr int kToFileId = 20, kFormatListId = 30; // the format dialog's controls

std::string Num(long v) {
    return std::to_string(v);
}

// The rows a section keeps of `appended` under the viewer's history limit
// (0: no limit): beyond the limit it drops down to the limit less about 3%
// at once, as the section does.
long long KeptRows(long long appended, long long limit) {
    if (limit <= 0) return appended;
    long long n = 0;
    for (long long i = 0; i < appended; ++i)
        if (++n > limit) n -= n - limit + limit / 32;
    return n;
}

LARGE_INTEGER Now() {
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return t;
}
const LARGE_INTEGER kStart = Now();
double Since(const LARGE_INTEGER& t0) {
    LARGE_INTEGER f, t1 = Now();
    QueryPerformanceFrequency(&f);
    return double(t1.QuadPart - t0.QuadPart) / double(f.QuadPart);
}
// What the soak does, with the time since its start (stderr).
void Step(const std::string& what) {
    std::fprintf(stderr, "%7.1f s  %s\n", Since(kStart), what.c_str());
}

LRESULT SendTo(HWND w, UINT msg, WPARAM wParam = 0, LPARAM lParam = 0, UINT ms = 10000) {
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutA(w, msg, wParam, lParam, SMTO_NORMAL, ms, &result)) return -1;
    return LRESULT(result);
}

struct TCounts {
    long long User = -1, Gdi = -1, Handles = -1, RssKB = -1;
};

TCounts Counts(const TViewerProcess& viewer) {
    const UINT msg = RegisterWindowMessageA("vxDebuggerResourceCounts");
    TCounts c;
    c.User = SendTo(viewer.Main(), msg, 0);
    c.Gdi = SendTo(viewer.Main(), msg, 1);
    c.Handles = SendTo(viewer.Main(), msg, 2);
    c.RssKB = SendTo(viewer.Main(), msg, 3);
    return c;
}

void Progress(const char* what, int round, const TCounts& c, double seconds) {
    std::fprintf(stderr, "%s %d: %.0f s, rss %lld kB, user %lld, gdi %lld, handles %lld\n", what,
                 round, seconds, c.RssKB, c.User, c.Gdi, c.Handles);
}

// WM_NULL answer times of the main window, from a thread of its own.
class TAnswerProbe {
  public:
    explicit TAnswerProbe(HWND w) : thread_([this, w] { Run(w); }) {}
    ~TAnswerProbe() { Stop(); }
    void Stop() {
        stop_ = true;
        if (thread_.joinable()) thread_.join();
    }
    double Percentile(double p) {
        std::sort(times_.begin(), times_.end());
        return times_.empty() ? 0 : times_[std::min(times_.size() - 1, size_t(p * times_.size()))];
    }
    int Unanswered() const { return unanswered_; }

  private:
    void Run(HWND w) {
        LARGE_INTEGER f, t0, t1;
        QueryPerformanceFrequency(&f);
        while (!stop_) {
            DWORD_PTR r;
            QueryPerformanceCounter(&t0);
            BOOL ok = SendMessageTimeoutA(w, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &r);
            QueryPerformanceCounter(&t1);
            const double ms = double(t1.QuadPart - t0.QuadPart) * 1000.0 / double(f.QuadPart);
            if (ok)
                times_.push_back(ms);
            else
                ++unanswered_;
            if (!ok || ms > 200) Step("the window answered after " + Num(long(ms)) + " ms");
            Sleep(50);
        }
    }
    std::atomic<bool> stop_{false};
    std::vector<double> times_;
    int unanswered_ = 0;
    std::thread thread_;
};

// The handles a process holds, by value, with their type and name as far as
// the system tells them: what the end holds beyond the start is printed.
std::map<uintptr_t, std::string> HandlesOf(DWORD pid) {
    struct TEntry {
        ULONG OwnerPid;
        BYTE ObjectType, HandleFlags;
        USHORT HandleValue;
        PVOID ObjectPointer;
        ULONG AccessMask;
    };
    struct TUnicode {
        USHORT Length, MaximumLength;
        PWSTR Buffer;
    };
    using TQuerySystem = LONG(WINAPI*)(ULONG, PVOID, ULONG, PULONG);
    using TQueryObject = LONG(WINAPI*)(HANDLE, ULONG, PVOID, ULONG, PULONG);
    HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    auto querySystem = reinterpret_cast<TQuerySystem>(
        reinterpret_cast<void*>(GetProcAddress(ntdll, "NtQuerySystemInformation")));
    auto queryObject = reinterpret_cast<TQueryObject>(
        reinterpret_cast<void*>(GetProcAddress(ntdll, "NtQueryObject")));
    std::map<uintptr_t, std::string> handles;
    std::vector<char> buffer(16u << 20);
    ULONG needed = 0;
    if (!querySystem || querySystem(16, buffer.data(), ULONG(buffer.size()), &needed) < 0)
        return handles;
    ULONG count = *reinterpret_cast<ULONG*>(buffer.data());
    count = ULONG(std::min<size_t>(count, (buffer.size() - 8) / sizeof(TEntry)));
    HANDLE process = OpenProcess(PROCESS_DUP_HANDLE, FALSE, pid);
    auto text = [&](HANDLE h, ULONG what) {
        std::vector<char> info(4096);
        ULONG got = 0;
        if (!queryObject || queryObject(h, what, info.data(), ULONG(info.size()), &got) < 0)
            return std::string();
        const TUnicode* u = reinterpret_cast<const TUnicode*>(info.data());
        std::string out;
        for (USHORT i = 0; u->Buffer && i < u->Length / 2; ++i)
            out += char(u->Buffer[i] < 128 ? u->Buffer[i] : '?');
        return out;
    };
    for (ULONG i = 0; i < count; ++i) {
        const TEntry* e = reinterpret_cast<const TEntry*>(buffer.data() + 8 + i * sizeof(TEntry));
        if (e->OwnerPid != pid) continue;
        std::string what = "type " + Num(e->ObjectType);
        HANDLE copy = nullptr;
        if (process &&
            DuplicateHandle(process, reinterpret_cast<HANDLE>(uintptr_t(e->HandleValue)),
                            GetCurrentProcess(), &copy, 0, FALSE, DUPLICATE_SAME_ACCESS)) {
            what = text(copy, 2) + " " + text(copy, 1);
            CloseHandle(copy);
        }
        handles[e->HandleValue] = what;
    }
    if (process) CloseHandle(process);
    return handles;
}

std::string TempFolder() {
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    std::string folder = std::string(temp) + "vxSoak-" + Num(long(GetCurrentProcessId()));
    CreateDirectoryA(folder.c_str(), nullptr);
    return folder;
}

long long FileLines(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    long long n = 0;
    std::string line;
    while (std::getline(in, line))
        ++n;
    return n;
}

class TSoak {
  public:
    explicit TSoak(const std::string& historyLimit) : folder_(TempFolder()) {
        if (!historyLimit.empty()) viewer_.DisplayValues = {{"HistoryLimit", historyLimit}};
        limit_ = historyLimit.empty() ? 0 : std::atoll(historyLimit.c_str());
    }
    ~TSoak() {
        for (const std::string& f : exported_)
            DeleteFileA(f.c_str());
        RemoveDirectoryA(folder_.c_str());
    }

    bool Start() {
        if (!viewer_.Start()) return Fail("the viewer's window did not appear");
        viewer_.Boxes().SetAnswerYes(true);
        viewer_.Boxes().LeaveAlone("Save document");
        viewer_.Boxes().LeaveAlone("");
        return true;
    }
    TViewerProcess& Viewer() { return viewer_; }
    long long Records() const { return records_; }
    int LimitedSections() const { return limitedSections_; }
    double ExportSeconds() const { return exportSeconds_; }
    int Exports() const { return exports_; }
    int ExportedRows() const { return exportedRows_; } // of the last export

    // One round: the clients send, the big list is exported, every section goes.
    bool Round(int r, int bigRows, int smallRows) {
        std::vector<std::unique_ptr<TChildProcess>> small;
        std::vector<std::string> ids;
        for (int k = 0; k < kSmallClients; ++k) {
            std::string id = "Soak" + Num(r) + "-" + Num(k);
            ids.push_back(id);
            small.push_back(StartVxsend("--client " + id + " --caption \"Soak " + Num(r) + "-" +
                                        Num(k) + "\" --app C:\\Soak\\App" + Num(k % 3) +
                                        ".exe flood " + Num(smallRows)));
            if (!small.back()) return Fail("vxsend did not start");
        }
        // The big client comes and goes while the others flood.
        const std::string big = "Big" + Num(r);
        const std::string bigArgs =
            "--client " + big + " --caption \"Big " + Num(r) + "\" --app C:\\Soak\\Big.exe ";
        for (int b = 0; b < kBursts; ++b) {
            if (RunVxsend(bigArgs + "flood " + Num(bigRows / kBursts), 600000).ExitCode != 0)
                return Fail("the big client's flood failed");
            if (RunVxsend(bigArgs + "disconnect").ExitCode != 0)
                return Fail("the big client's disconnect failed");
        }
        ids.push_back(big);
        Step("round " + Num(r) + ": the big client is done");
        for (auto& p : small)
            if (!p->Wait(600000) || p->ExitCode() != 0) return Fail("a small client failed");
        for (int k = 0; k < kSmallClients; ++k)
            if (RunVxsend("--client " + ids[size_t(k)] + " disconnect").ExitCode != 0)
                return Fail("a disconnect failed");
        records_ += (bigRows / kBursts) * kBursts + (long long)smallRows * kSmallClients;

        // Every section holds its rows before the big list goes out.
        auto bigSection = SectionOf("Client ID: " + big + " [Big " + Num(r) + "]");
        if (!bigSection) return Fail("no section of the big client");
        const int bigCount = int(KeptRows((bigRows / kBursts) * kBursts, limit_));
        if (!WaitFor([&] { return bigSection->DebugList().Count() == bigCount; }, 300000))
            return Fail("the big section holds " + Num(bigSection->DebugList().Count()) +
                        " rows, not " + Num(bigCount));
        if (bigCount < (bigRows / kBursts) * kBursts) ++limitedSections_;
        Step("round " + Num(r) + ": every section holds its rows");
        if (!Export(*bigSection, "round" + Num(r), bigCount)) return false;
        Step("round " + Num(r) + ": exported");
        for (const std::string& id : ids)
            if (!Delete(id)) return false;
        Step("round " + Num(r) + ": deleted");
        return true;
    }

  private:
    bool Fail(const std::string& why) {
        std::fprintf(stderr, "vxsoak: %s\n", why.c_str());
        return false;
    }

    std::unique_ptr<TSectionView> SectionOf(const std::string& label) {
        std::unique_ptr<TSectionView> s;
        WaitFor([&] { return (s = viewer_.Section(label)) != nullptr; }, 60000);
        return s;
    }

    // Brings the section to the front through its side-bar button.
    bool Front(const TSectionView& s) {
        const std::string caption = s.IdLabel().substr(s.IdLabel().find('[') + 1);
        auto click = [](HWND w) {
            PostMessageA(w, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(4, 4));
            PostMessageA(w, WM_LBUTTONUP, 0, MAKELPARAM(4, 4));
        };
        for (const THeaderView& h : viewer_.SideBar())
            for (size_t b = 0; b < h.Buttons.size(); ++b)
                if (h.ButtonCaptions[b] + "]" == caption) {
                    if (!IsWindowVisible(h.Buttons[b])) click(h.Window); // opens the header
                    WaitFor([&] { return IsWindowVisible(h.Buttons[b]) != FALSE; }, 5000);
                    click(h.Buttons[b]);
                    return WaitFor([&] { return s.Visible(); }, 10000);
                }
        return false;
    }

    // CSV to a file through the list's context menu, the format dialog and the
    // save dialog, as a user exports.
    bool Export(const TSectionView& s, const std::string& name, int rows) {
        if (!Front(s)) return Fail("the big section did not come to the front");
        HWND list = s.DebugList().Handle();
        HWND popup = viewer_.OpenContextMenu(list);
        if (!popup || !viewer_.ChooseMenuEntry(popup, "&Export...", kDebugMenuExport))
            return Fail("\"&Export...\" could not be chosen");
        HWND dialog = viewer_.WaitForWindow("TvxExportDialog", "Exporting List");
        if (!dialog) return Fail("no format dialog");
        HWND types = GetDlgItem(dialog, kFormatListId);
        int csv = -1;
        for (int i = 0, n = int(SendTo(types, CB_GETCOUNT)); i < n; ++i)
            if (ComboItemText(types, i) == "Comma-Separated Text") csv = i;
        if (csv < 0) return Fail("no CSV type");
        SendTo(types, CB_SETCURSEL, WPARAM(csv));
        SendTo(dialog, WM_COMMAND, MAKEWPARAM(kFormatListId, CBN_SELCHANGE), LPARAM(types));
        SendTo(GetDlgItem(dialog, kToFileId), BM_CLICK);
        LARGE_INTEGER f, t0, t1;
        QueryPerformanceFrequency(&f);
        PostMessageA(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
        HWND save = viewer_.WaitForWindow("#32770", "Save document", 30000);
        if (!save) return Fail("no save dialog");
        const std::string target = folder_ + "\\" + name;
        QueryPerformanceCounter(&t0);
        Step("export: the save dialog is up");
        if (!TRemoteSaveDialog(save).Save(target))
            return Fail("the save dialog did not take the name");
        const std::string file = target + ".CSV";
        exported_.push_back(file);
        if (!WaitFor(
                [&] {
                    return GetFileAttributesA(file.c_str()) != INVALID_FILE_ATTRIBUTES &&
                           VisibleTopLevels(viewer_.Pid(), "TvxExportProgress").empty();
                },
                600000))
            return Fail("the export did not finish");
        QueryPerformanceCounter(&t1);
        exportSeconds_ += double(t1.QuadPart - t0.QuadPart) / double(f.QuadPart);
        ++exports_;
        exportedRows_ = rows;
        long long lines = FileLines(file);
        if (lines != rows + 1) return Fail("the export holds " + Num(long(lines)) + " lines");
        DeleteFileA(file.c_str());
        return true;
    }

    bool Delete(const std::string& id) {
        std::unique_ptr<TSectionView> s;
        WaitFor(
            [&] {
                for (const TSectionView& v : viewer_.Sections())
                    if (v.IdLabel().rfind("Client ID: " + id + " [", 0) == 0)
                        s = std::make_unique<TSectionView>(v);
                return s != nullptr;
            },
            30000);
        if (!s) return Fail("no section of " + id);
        if (!WaitFor([&] { return IsWindowEnabled(s->Button("Delete this frame")) != FALSE; },
                     60000))
            return Fail("the section of " + id + " cannot be deleted");
        if (!s->Click("Delete this frame")) return Fail("Delete of " + id + " failed");
        if (!WaitFor([&] { return !IsWindow(s->Frame()); }, 60000))
            return Fail("the frame of " + id + " stays");
        return true;
    }

    TViewerProcess viewer_;
    std::string folder_;
    std::vector<std::string> exported_;
    long long records_ = 0;
    long long limit_ = 0;
    int limitedSections_ = 0; // big sections that reached the history limit
    double exportSeconds_ = 0;
    int exports_ = 0;
    int exportedRows_ = 0;
};

} // namespace

int main(int argc, char** argv) {
    const int rounds = argc > 1 ? std::atoi(argv[1]) : 5;
    const int bigRows = argc > 2 ? std::atoi(argv[2]) : 100000;
    const int smallRows = argc > 3 ? std::atoi(argv[3]) : 11112;
    const std::string historyLimit = argc > 4 ? argv[4] : "";
    if (rounds < 1 || bigRows < kBursts || smallRows < 1) {
        std::fprintf(stderr, "usage: vxsoak [ROUNDS] [BIG_ROWS] [SMALL_ROWS] [HISTORY_LIMIT]\n");
        return 2;
    }
    TSoak soak(historyLimit);
    if (!soak.Start()) return 1;
    const LARGE_INTEGER t0 = Now();
    // A small warm-up round: the export component, dialogs and fonts of a
    // first section are made once and kept; what stays after it is the start.
    if (!soak.Round(0, kBursts * 200, 200)) return 1;
    PumpFor(2000);
    const TCounts start = Counts(soak.Viewer());
    const std::map<uintptr_t, std::string> startHandles = HandlesOf(soak.Viewer().Pid());
    Progress("start", 0, start, Since(t0));
    TAnswerProbe probe(soak.Viewer().Main());
    for (int r = 1; r <= rounds; ++r) {
        if (!soak.Round(r, bigRows, smallRows)) return 1;
        PumpFor(1000);
        Progress("round", r, Counts(soak.Viewer()), Since(t0));
    }
    PumpFor(3000);
    const TCounts end = Counts(soak.Viewer());
    for (const auto& [value, what] : HandlesOf(soak.Viewer().Pid()))
        if (!startHandles.count(value) || startHandles.at(value) != what)
            std::fprintf(stderr, "handle %04llx held at the end only: %s\n",
                         (unsigned long long)value, what.c_str());
    probe.Stop();
    const bool alive = soak.Viewer().Responsive();
    std::printf("soak_records: %lld records\n", soak.Records());
    std::printf("soak_sections: %d sections\n", (rounds + 1) * (kSmallClients + 1));
    std::printf("soak_limited_sections: %d sections\n", soak.LimitedSections());
    std::printf("soak_seconds: %.0f s\n", Since(t0));
    std::printf("soak_export_seconds: %.1f s per %d-row export\n",
                soak.Exports() ? soak.ExportSeconds() / soak.Exports() : 0.0, soak.ExportedRows());
    std::printf("soak_rss_start_kb: %lld kB\n", start.RssKB);
    std::printf("soak_rss_end_kb: %lld kB\n", end.RssKB);
    std::printf("soak_rss_growth_pct: %.1f %%\n",
                start.RssKB > 0 ? double(end.RssKB - start.RssKB) * 100.0 / double(start.RssKB)
                                : 0.0);
    std::printf("soak_gdi_objects_start: %lld objects\n", start.Gdi);
    std::printf("soak_gdi_objects_end: %lld objects\n", end.Gdi);
    std::printf("soak_user_objects_start: %lld objects\n", start.User);
    std::printf("soak_user_objects_end: %lld objects\n", end.User);
    std::printf("soak_handles_start: %lld handles\n", start.Handles);
    std::printf("soak_handles_end: %lld handles\n", end.Handles);
    std::printf("soak_ui_p99_ms: %.1f ms\n", probe.Percentile(0.99));
    std::printf("soak_ui_unanswered: %d probes\n", probe.Unanswered());
    soak.Viewer().ExitThroughMenu();
    soak.Viewer().Terminate();
    return alive ? 0 : 1;
}
