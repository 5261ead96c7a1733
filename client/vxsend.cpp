// vxsend: a command-line client of the viewer. Sends one record of any kind,
// runs a demo of several clients, or floods the viewer to measure its rate.
// On Windows it reaches the viewer on this desktop through WM_COPYDATA or any
// viewer over TCP; elsewhere it speaks TCP only.
#ifdef _WIN32
#include "vxClient_win.h"
#endif
#include "vxTcpClient.h"

#include "platform/DateTimeFormat.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#ifndef _WIN32
#include <ctime>
#endif

using namespace vx;

namespace {

const char* const kUsage =
    "usage: vxsend [--tcp HOST:PORT [--key KEY]] [options] COMMAND\n"
    "       vxsend [options] KIND     send one record\n"
    "       vxsend [options] demo [N] three demo clients with a realistic stream\n"
    "                                 (three rounds, or until N records are sent)\n"
    "       vxsend [options] flood N  N debug records as fast as the viewer takes them\n"
    "       vxsend ods [N] [TEXT]     N OutputDebugString lines \"TEXT 1\" to \"TEXT N\"\n"
    "                                 (default 1 and \"vxsend ods line\"; no viewer needed)\n"
    "       vxsend [options] listen   connect, then stay until the viewer announces its\n"
    "                                 closing (exit 0) or --wait runs out (exit 1)\n"
    "KIND: connect disconnect level clear-messages clear message info string note enter\n"
    "      exit separator exception point color cursor rect checkpoint reminder dump\n"
    "      component stringlist sysinfo object property unknown show hello, or a number\n"
    "options: --client ID  --app PATH  --caption TEXT  --group N|general|info|warning|error\n"
    "         --text TEXT  --info-line N  --level N  --time DAYS|now  --unit NAME\n"
    "         --proc NAME  --line N  --data TEXT  --data-file FILE  --wparam N\n"
    "         --timeout MS (wait for the viewer's answer, default 3000)\n"
    "         --wait MS (how long listen stays, default 60000)\n"
    "         --tcp HOST:PORT (send over TCP to a viewer listening there)\n"
    "         --key KEY (the viewer's key for TCP clients, default none)\n"
    "         --threads N (flood: N threads at once, N records each, \"Thread K: ...\")\n";

const std::map<std::string, uint32_t> kKinds = {
    {"disconnect", dkDisconnect},
    {"connect", dkConnect},
    {"level", dkSetLevel},
    {"clear-messages", dkClearMessages},
    {"clear", dkClearDebugInfos},
    {"message", dkAddMessage},
    {"info", dkSetInfoLine},
    {"string", dkString},
    {"note", dkNote},
    {"enter", dkProcEnter},
    {"exit", dkProcExit},
    {"separator", dkSeparator},
    {"exception", dkException},
    {"point", dkPoint},
    {"color", dkColor},
    {"cursor", dkCursor},
    {"rect", dkRect},
    {"checkpoint", dkCheckpoint},
    {"reminder", dkReminder},
    {"dump", dkMemoryDump},
    {"component", dkComponent},
    {"stringlist", dkStringlist},
    {"sysinfo", dkSystemInfo},
    {"object", dkObject},
    {"property", dkProperty},
    {"unknown", dkUnknown},
    {"show", dkShowViewer},
};

TDateTime NowLocal() {
#ifdef _WIN32
    SYSTEMTIME st;
    GetLocalTime(&st);
    return EncodeDateTime(
        {st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond, st.wMilliseconds});
#else
    auto now = std::chrono::system_clock::now();
    std::time_t t = std::chrono::system_clock::to_time_t(now);
    std::tm tm{};
    localtime_r(&t, &tm);
    auto ms =
        std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() %
        1000;
    return EncodeDateTime(
        {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec, int(ms)});
#endif
}

double Seconds(std::chrono::steady_clock::time_point t0) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

#ifndef _WIN32
using DWORD = uint32_t;
#endif

[[noreturn]] void Fail(const std::string& text, int code = 2) {
    std::fprintf(stderr, "vxsend: %s\n", text.c_str());
    std::exit(code);
}

long ParseNumber(const std::string& s, const char* what) {
    char* end = nullptr;
    long v = std::strtol(s.c_str(), &end, 0);
    if (s.empty() || *end) Fail(std::string("not a number for ") + what + ": " + s);
    return v;
}

struct TOptions {
    TPacketFields Fields;
    std::string App = "C:\\Program Files\\vxsend\\vxsend.exe";
    std::string Caption = "vxsend";
    bool HasWParam = false;
    uint32_t WParam = 0;
    DWORD Timeout = 3000;
    DWORD Wait = 60000;
    bool Tcp = false;
    std::string Host, Key;
    uint16_t Port = 0;
    long Threads = 0; // flood from this many threads at once; 0: from the main thread
    std::vector<std::string> Args;
};

TOptions ParseArgs(int argc, char** argv) {
    TOptions o;
    o.Fields.ClientID = "vxsend";
    o.Fields.Time = NowLocal();
    bool textSet = false;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        auto value = [&]() -> std::string {
            if (i + 1 >= argc) Fail("missing value for " + a);
            return argv[++i];
        };
        if (a == "--client")
            o.Fields.ClientID = value();
        else if (a == "--app")
            o.App = value();
        else if (a == "--caption")
            o.Caption = value();
        else if (a == "--group") {
            std::string g = value();
            static const std::map<std::string, int> names = {
                {"general", 0}, {"info", 1}, {"warning", 2}, {"error", 3}};
            auto it = names.find(g);
            o.Fields.Group = uint8_t(it != names.end() ? it->second : ParseNumber(g, "--group"));
        } else if (a == "--text") {
            o.Fields.Text = value();
            textSet = true;
        } else if (a == "--info-line")
            o.Fields.InfoLine = int32_t(ParseNumber(value(), "--info-line"));
        else if (a == "--level")
            o.Fields.Level = uint8_t(ParseNumber(value(), "--level"));
        else if (a == "--time") {
            std::string t = value();
            o.Fields.Time = t == "now" ? NowLocal() : std::atof(t.c_str());
        } else if (a == "--unit")
            o.Fields.UnitName = value();
        else if (a == "--proc")
            o.Fields.ProcName = value();
        else if (a == "--line")
            o.Fields.LineNumber = int32_t(ParseNumber(value(), "--line"));
        else if (a == "--data")
            o.Fields.Data = value();
        else if (a == "--data-file") {
            std::ifstream f(value(), std::ios::binary);
            if (!f) Fail("cannot read the data file");
            o.Fields.Data.assign(std::istreambuf_iterator<char>(f), {});
        } else if (a == "--wparam") {
            o.WParam = uint32_t(ParseNumber(value(), "--wparam"));
            o.HasWParam = true;
        } else if (a == "--timeout")
            o.Timeout = DWORD(ParseNumber(value(), "--timeout"));
        else if (a == "--wait")
            o.Wait = DWORD(ParseNumber(value(), "--wait"));
        else if (a == "--tcp") {
            std::string where = value();
            if (!ParseHostPort(where, o.Host, o.Port)) Fail("--tcp needs HOST:PORT, not " + where);
            o.Tcp = true;
        } else if (a == "--key")
            o.Key = value();
        else if (a == "--threads") {
            o.Threads = ParseNumber(value(), "--threads");
            if (o.Threads < 1 || o.Threads > 64) Fail("--threads wants 1 to 64");
        } else if (a == "-h" || a == "--help") {
            std::fputs(kUsage, stdout);
            std::exit(0);
        } else if (a.size() > 1 && a[0] == '-' && a[1] == '-')
            Fail("unknown option " + a);
        else
            o.Args.push_back(a);
    }
    if (!textSet) o.Fields.Text.clear();
    if (!o.Key.empty() && !o.Tcp)
        Fail("--key is the key of a TCP viewer: give --tcp HOST:PORT too");
    return o;
}

// Where the records go: the viewer's window on this desktop, or a viewer
// over TCP.
class TSink {
  public:
    virtual ~TSink() = default;
    // Sends one record now; false when the viewer did not take it.
    virtual bool Send(uint32_t wParam, const TPacketFields& f) = 0;
    // Sends one record, possibly together with the ones after it; Flush()
    // sends what is still waiting.
    virtual bool Queue(uint32_t wParam, const TPacketFields& f) { return Send(wParam, f); }
    virtual bool Flush() { return true; }
    // Waits up to ms for the viewer's closing notice; true when it came.
    virtual bool WaitClosing(DWORD ms) = 0;
    // "viewer window 0000000000010020" or "viewer at HOST:PORT".
    virtual std::string Describe() const = 0;
    virtual std::string Error() const { return {}; }
};

#ifdef _WIN32
class TWindowSink : public TSink {
  public:
    bool Find(DWORD timeoutMs) { return client_.FindViewer(timeoutMs); }
    HWND Viewer() const { return client_.Viewer(); }
    void SetViewer(HWND viewer) { client_.SetViewer(viewer); }
    bool Send(uint32_t wParam, const TPacketFields& f) override { return client_.Send(wParam, f); }
    bool WaitClosing(DWORD ms) override {
        DWORD end = GetTickCount() + ms;
        while (!client_.ViewerClosed() && int32_t(end - GetTickCount()) > 0)
            client_.Pump(50);
        return client_.ViewerClosed();
    }
    std::string Describe() const override {
        char buf[64];
        std::snprintf(buf, sizeof buf, "viewer window %p", static_cast<void*>(client_.Viewer()));
        return buf;
    }

  private:
    TDebugClient client_;
};
#endif

class TTcpSink : public TSink {
  public:
    TTcpSink(const TOptions& o, TTcpOptions to)
        : where_(o.Host + ":" + std::to_string(o.Port)), client_(to) {}
    TTcpClient& Client() { return client_; }
    bool Send(uint32_t wParam, const TPacketFields& f) override { return client_.Send(wParam, f); }
    bool Queue(uint32_t wParam, const TPacketFields& f) override {
        return client_.Queue(wParam, f);
    }
    bool Flush() override { return client_.Flush(); }
    bool WaitClosing(DWORD ms) override { return client_.WaitClosing(int(ms)); }
    std::string Describe() const override { return "viewer at " + where_; }
    std::string Error() const override { return client_.Error(); }

  private:
    std::string where_;
    TTcpClient client_;
};

void Connect(TSink& c, const std::string& id, const std::string& app, const std::string& caption,
             uint8_t level) {
    TPacketFields f;
    f.ClientID = id;
    f.Text = app + "|" + caption;
    f.Level = level;
    f.Time = NowLocal();
    c.Send(dkConnect, f);
}

struct TDemoClient {
    std::string ID, App, Caption;
};

// A believable session of three clients: two of one application, one of another.
// Three rounds of the mix, or as many as it takes to send `total` records.
int RunDemo(TSink& c, long total) {
    const TDemoClient clients[] = {
        {"Inventory-1832", "C:\\Projects\\Inventory\\Inventory.exe", "Inventory (main)"},
        {"Inventory-1832-Import", "C:\\Projects\\Inventory\\Inventory.exe", "Import thread"},
        {"Mailer-2204", "C:\\Projects\\Mailer\\Mailer.exe", "Mailer"},
    };
    struct Row {
        uint8_t Kind, Group;
        const char *Text, *Unit, *Proc;
        int Line;
        const char* Data;
    };
    const Row rows[] = {
        {dkProcEnter, 0, "TfrmMain.FormCreate", "frmMain", "TfrmMain.FormCreate", 112, nullptr},
        {dkString, 1, "Loading configuration from Inventory.ini", "uConfig", "LoadConfig", 48,
         nullptr},
        {dkSystemInfo, 1, "Windows 10.0 build 19045, 8 CPUs, 16 GB", "uSysInfo", "Report", 20,
         "OS=Windows 10.0.19045\r\nCPU=8\r\nMemory=16384 MB\r\nLocale=en-US"},
        {dkCheckpoint, 0, "Checkpoint: database open", "uData", "TdmData.Open", 77, nullptr},
        {dkSeparator, 0, "", "", "", 0, nullptr},
        {dkString, 0, "Query returned 412 rows in 38 ms", "uData", "TdmData.RunQuery", 203,
         nullptr},
        {dkStringlist, 1, "Stock levels (5 items)", "uStock", "DumpLevels", 64,
         "Bolts M6=1200\r\nNuts M6=980\r\nWashers=4410\r\nBrackets=75\r\nHinges=0"},
        {dkPoint, 0, "Mouse at (412, 96)", "frmMain", "TfrmMain.GridMouseMove", 301, nullptr},
        {dkRect, 0, "Grid bounds (8, 64, 780, 540)", "frmMain", "TfrmMain.FormResize", 288,
         nullptr},
        {dkColor, 0, "Row colour clInfoBk", "frmMain", "TfrmMain.GridDrawCell", 322, nullptr},
        {dkReminder, 2, "Reminder: remove the test supplier before release", "uStock", "Init", 15,
         nullptr},
        {dkString, 2, "Stock of 'Hinges' is zero", "uStock", "CheckLevels", 91, nullptr},
        {dkMemoryDump, 0, "Memory dump of header (32 bytes)", "uImport", "ReadHeader", 140,
         "0000  49 4E 56 31 00 02 00 00  9C 01 00 00 10 00 00 00  INV1............\r\n"
         "0010  2A 00 00 00 00 00 00 00  00 00 00 00 00 00 00 00  *..............."},
        {dkException, 3, "EDatabaseError: Field 'Price' not found", "uData", "TdmData.Post", 255,
         "EDatabaseError at 0045A1F2\r\nField 'Price' not found\r\nCall stack:\r\n  "
         "TdmData.Post\r\n  TfrmEdit.btnSaveClick"},
        {dkObject, 0, "TStockItem($02A4F310)", "uStock", "TStockItem.Dump", 180,
         "Name=Hinges\r\nCount=0\r\nPrice=2.40"},
        {dkProperty, 0, "Grid.RowCount = 413", "frmMain", "TfrmMain.Refresh", 260, nullptr},
        {dkComponent, 0, "TButton btnSave", "frmEdit", "TfrmEdit.FormShow", 44, nullptr},
        {dkCursor, 0, "Cursor crHourGlass", "frmMain", "TfrmMain.BeginWork", 350, nullptr},
        {dkNote, 0, "Note: nightly import started", "uImport", "Start", 12, nullptr},
        {dkProcExit, 0, "TfrmMain.FormCreate", "frmMain", "TfrmMain.FormCreate", 160, nullptr},
        {dkUnknown, 0, "Custom record", "uPlugin", "Send", 9, nullptr},
    };
    int sent = 0, rowsSent = 0;
    for (const auto& cl : clients)
        Connect(c, cl.ID, cl.App, cl.Caption, dlMedium);
    for (int round = 0; total > 0 ? sent < total : round < 3; ++round) {
        for (size_t k = 0; k < std::size(clients); ++k) {
            const auto& cl = clients[k];
            for (size_t r = k; r < std::size(rows); r += 1 + k) {
                TPacketFields f;
                f.ClientID = cl.ID;
                f.Group = rows[r].Group;
                f.Text = rows[r].Text;
                f.UnitName = rows[r].Unit;
                f.ProcName = rows[r].Proc;
                f.LineNumber = rows[r].Line;
                f.Time = NowLocal();
                if (rows[r].Data) f.Data = rows[r].Data;
                const bool ok = c.Send(rows[r].Kind, f);
                sent += ok;
                rowsSent += ok;
            }
            TPacketFields m;
            m.ClientID = cl.ID;
            m.Text = "Pass " + std::to_string(round + 1) + " of " + cl.Caption + " done";
            sent += c.Send(dkAddMessage, m);
            const char* names[] = {"Records|", "Errors|", "Queue|"};
            for (int line = 1; line <= 3; ++line) {
                m.InfoLine = line;
                m.Text = names[line - 1] + std::to_string((round + 1) * (line * 37 + int(k)));
                sent += c.Send(dkSetInfoLine, m);
            }
        }
    }
    TPacketFields lvl;
    lvl.ClientID = clients[2].ID;
    lvl.Level = dlHigh;
    c.Send(dkSetLevel, lvl);
    std::printf("vxsend: demo sent %d records (%d of them list rows) from %zu clients\n", sent,
                rowsSent, std::size(clients));
    return 0;
}

// n records of one client; prefix comes before each text ("Thread 2: ").
// Over TCP the records go out in batches of many frames per send.
long FloodRecords(TSink& c, const TOptions& o, long n, const std::string& prefix) {
    TPacketFields f = o.Fields;
    if (f.UnitName.empty()) f.UnitName = "uFlood";
    if (f.ProcName.empty()) f.ProcName = "TFlood.Run";
    long ok = 0;
    for (long i = 0; i < n; ++i) {
        f.Text = prefix + "Flood record " + std::to_string(i + 1) + " of " + std::to_string(n);
        f.Group = uint8_t(i % 4);
        f.LineNumber = int32_t(i + 1);
        if (!c.Queue(dkString, f)) break;
        ++ok;
    }
    if (!c.Flush()) ok = 0;
    if (ok < n && !c.Error().empty()) std::fprintf(stderr, "vxsend: %s\n", c.Error().c_str());
    return ok;
}

int RunFlood(TSink& c, const TOptions& o, long n) {
    Connect(c, o.Fields.ClientID, o.App, o.Caption, dlLow);
    const auto t0 = std::chrono::steady_clock::now();
    long ok = 0, want = n;
    if (o.Threads == 0) {
        ok = FloodRecords(c, o, n, "");
    } else {
#ifdef _WIN32
        // One client sending from several threads at once, as a program's
        // worker threads do: each thread has a window of its own.
        auto* window = dynamic_cast<TWindowSink*>(&c);
        if (!window) Fail("--threads sends through the viewer's window only, not over TCP");
        std::vector<long> sent(size_t(o.Threads), 0);
        std::vector<std::thread> threads;
        for (long k = 0; k < o.Threads; ++k)
            threads.emplace_back([&, k] {
                TWindowSink own;
                own.SetViewer(window->Viewer());
                sent[size_t(k)] = FloodRecords(own, o, n, "Thread " + std::to_string(k + 1) + ": ");
            });
        for (std::thread& t : threads)
            t.join();
        for (long s : sent)
            ok += s;
        want = n * o.Threads;
#else
        Fail("--threads sends through the viewer's window only, not over TCP");
#endif
    }
    const double s = Seconds(t0);
    std::printf("vxsend: flood sent %ld of %ld records in %.3f s: %.0f records per second\n", ok,
                want, s, s > 0 ? ok / s : 0.0);
    return ok == want ? 0 : 1;
}

// A client that stays connected: the test of the viewer's closing notice.
// Output is flushed at once so a reader of a pipe sees each line when it happens.
int RunListen(TSink& c, const TOptions& o) {
    Connect(c, o.Fields.ClientID, o.App, o.Caption, o.Fields.Level);
    std::printf("vxsend: connected to %s\n", c.Describe().c_str());
    std::fflush(stdout);
    if (!c.WaitClosing(o.Wait)) {
        std::printf("vxsend: the viewer is still running\n");
        return 1;
    }
    std::printf("vxsend: the viewer is closing\n");
    return 0;
}

// The system's debug-output path, not the client protocol: every line waits
// until a reader of the buffer (if any) has taken the one before.
int RunOds(const std::vector<std::string>& args) {
    long n = args.size() > 1 ? ParseNumber(args[1], "ods") : 1;
    if (n < 0) Fail("ods needs a line count of 0 or more");
#ifdef _WIN32
    std::string text = args.size() > 2 ? args[2] : "vxsend ods line";
    const auto t0 = std::chrono::steady_clock::now();
    for (long i = 1; i <= n; ++i)
        OutputDebugStringA((text + " " + std::to_string(i)).c_str());
    const double s = Seconds(t0);
    std::printf("vxsend: ods sent %ld lines in %.3f s: %.0f lines per second\n", n, s,
                s > 0 ? n / s : 0.0);
    return 0;
#else
    Fail("ods writes to the Windows debug output; this vxsend is not a Windows program");
#endif
}

} // namespace

int main(int argc, char** argv) {
    TOptions o = ParseArgs(argc, argv);
    if (o.Args.empty()) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    if (o.Args[0] == "ods") return RunOds(o.Args);
    std::unique_ptr<TSink> sink;
    if (o.Tcp) {
        TTcpOptions to;
        to.ConnectTimeoutMs = to.AnswerTimeoutMs = int(o.Timeout);
        auto tcp = std::make_unique<TTcpSink>(o, to);
        if (!tcp->Client().Connect(o.Host, o.Port, o.Key, o.Fields.ClientID))
            Fail(tcp->Client().Error(), 1);
        sink = std::move(tcp);
    } else {
#ifdef _WIN32
        auto win = std::make_unique<TWindowSink>();
        if (!win->Find(o.Timeout)) Fail("no viewer answered (is vxDebugger running?)", 1);
        sink = std::move(win);
#else
        Fail("this vxsend reaches the viewer over TCP only: give --tcp HOST:PORT");
#endif
    }
    TSink& client = *sink;
    const std::string& cmd = o.Args[0];
    if (cmd == "demo")
        return RunDemo(client, o.Args.size() > 1 ? ParseNumber(o.Args[1], "demo") : 0);
    if (cmd == "flood") {
        if (o.Args.size() < 2) Fail("flood needs a record count");
        return RunFlood(client, o, ParseNumber(o.Args[1], "flood"));
    }
    if (cmd == "listen") return RunListen(client, o);
    if (cmd == "hello") {
        // The handshake already happened; print what answered.
        std::printf("vxsend: %s\n", client.Describe().c_str());
        return 0;
    }
    uint32_t wParam;
    auto it = kKinds.find(cmd);
    if (it != kKinds.end())
        wParam = it->second;
    else
        wParam = uint32_t(ParseNumber(cmd, "KIND"));
    if (o.HasWParam) wParam = o.WParam;
    if ((wParam & 0xFF) == dkConnect && o.Fields.Text.empty())
        o.Fields.Text = o.App + "|" + o.Caption;
    if (!client.Send(wParam, o.Fields)) {
        if (!client.Error().empty()) std::fprintf(stderr, "vxsend: %s\n", client.Error().c_str());
        Fail("the viewer did not take the record", 1);
    }
    return 0;
}
