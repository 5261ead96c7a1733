// Speed and size of the session log: appending the demo's mix of rows to a
// session file (with its share of flushing), the median flush to the disk,
// the file's size per row, and opening a 1,000,000-row file into a row store.
//   bench_sessionlog [ROWS] [FOLDER]
//   bench_sessionlog --history-file FILE ROWS LENGTH   writes a file of ROWS texts of LENGTH bytes
#include "sessionlog/SessionFile.h"
#include "sessionlog/SessionImage.h"
#include "sessionlog/SessionWriter.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

using namespace vx;
using Clock = std::chrono::steady_clock;

namespace {

struct TDemoRow {
    uint8_t Kind, Group;
    const char *Text, *Unit, *Proc;
    int Line;
    const char* Data;
};

// The rows of vxsend's demo, the mix a real client sends.
const TDemoRow kDemo[] = {
    {16, 0, "TfrmMain.FormCreate", "frmMain", "TfrmMain.FormCreate", 112, nullptr},
    {14, 1, "Loading configuration from Inventory.ini", "uConfig", "LoadConfig", 48, nullptr},
    {29, 1, "Windows 10.0 build 19045, 8 CPUs, 16 GB", "uSysInfo", "Report", 20,
     "OS=Windows 10.0.19045\r\nCPU=8\r\nMemory=16384 MB\r\nLocale=en-US"},
    {24, 0, "Checkpoint: database open", "uData", "TdmData.Open", 77, nullptr},
    {18, 0, "", "", "", 0, nullptr},
    {14, 0, "Query returned 412 rows in 38 ms", "uData", "TdmData.RunQuery", 203, nullptr},
    {28, 1, "Stock levels (5 items)", "uStock", "DumpLevels", 64,
     "Bolts M6=1200\r\nNuts M6=980\r\nWashers=4410\r\nBrackets=75\r\nHinges=0"},
    {20, 0, "Mouse at (412, 96)", "frmMain", "TfrmMain.GridMouseMove", 301, nullptr},
    {23, 0, "Grid bounds (8, 64, 780, 540)", "frmMain", "TfrmMain.FormResize", 288, nullptr},
    {21, 0, "Row colour clInfoBk", "frmMain", "TfrmMain.GridDrawCell", 322, nullptr},
    {25, 2, "Reminder: remove the test supplier before release", "uStock", "Init", 15, nullptr},
    {14, 2, "Stock of 'Hinges' is zero", "uStock", "CheckLevels", 91, nullptr},
    {26, 0, "Memory dump of header (32 bytes)", "uImport", "ReadHeader", 140,
     "0000  49 4E 56 31 00 02 00 00  9C 01 00 00 10 00 00 00  INV1............\r\n"
     "0010  2A 00 00 00 00 00 00 00  00 00 00 00 00 00 00 00  *..............."},
    {19, 3, "EDatabaseError: Field 'Price' not found", "uData", "TdmData.Post", 255,
     "EDatabaseError at 0045A1F2\r\nField 'Price' not found\r\nCall stack:\r\n  TdmData.Post\r\n"
     "  TfrmEdit.btnSaveClick"},
    {30, 0, "TStockItem($02A4F310)", "uStock", "TStockItem.Dump", 180,
     "Name=Hinges\r\nCount=0\r\nPrice=2.40"},
    {31, 0, "Grid.RowCount = 413", "frmMain", "TfrmMain.Refresh", 260, nullptr},
    {27, 0, "TButton btnSave", "frmEdit", "TfrmEdit.FormShow", 44, nullptr},
    {22, 0, "Cursor crHourGlass", "frmMain", "TfrmMain.BeginWork", 350, nullptr},
    {15, 0, "Note: nightly import started", "uImport", "Start", 12, nullptr},
    {17, 0, "TfrmMain.FormCreate", "frmMain", "TfrmMain.FormCreate", 160, nullptr},
    {32, 0, "Custom record", "uPlugin", "Send", 9, nullptr},
};

double Seconds(Clock::time_point from) {
    return std::chrono::duration<double>(Clock::now() - from).count();
}

} // namespace

// A session of `rows` rows of `length`-character texts for the viewer's
// memory benchmark (bench/history.sh).
int WriteBenchFile(const std::string& path, size_t rows, size_t length) {
    ::unlink(path.c_str());
    TSessionWriter w;
    if (!w.Create(path, 46365.0) || !w.Identity("History", "C:\\Bench\\History.exe", "Rows"))
        return 1;
    std::string text;
    for (size_t i = 0; i < rows; ++i) {
        text = "Row " + std::to_string(i) + " ";
        while (text.size() < length)
            text += char('a' + (text.size() + i) % 26);
        TDebugRowView v;
        v.Kind = 14;
        v.Text = text;
        v.Time = 46365.0 + double(i) / 86400000.0;
        if (!w.AppendRow(v)) break;
    }
    if (!w.Close()) {
        std::fprintf(stderr, "%s\n", w.Error().c_str());
        return 1;
    }
    return 0;
}

int main(int argc, char** argv) {
    if (argc == 5 && std::string(argv[1]) == "--history-file")
        return WriteBenchFile(argv[2], std::stoul(argv[3]), std::stoul(argv[4]));
    const size_t rows = argc > 1 ? std::stoul(argv[1]) : 1000000;
    const std::string folder = argc > 2 ? argv[2] : ".";
    const std::string path = JoinPath(folder, "bench_sessionlog.vxs");
    ::unlink(path.c_str());

    // Every row's text differs a little, as a real log's do.
    std::vector<std::string> texts(rows);
    std::vector<TDebugRowView> views(rows);
    const size_t mix = std::size(kDemo);
    for (size_t i = 0; i < rows; ++i) {
        const TDemoRow& d = kDemo[i % mix];
        texts[i] = d.Kind == 18 ? "" : std::string(d.Text) + " #" + std::to_string(i / mix);
        TDebugRowView& v = views[i];
        v.Group = d.Group;
        v.Kind = d.Kind;
        v.Text = texts[i];
        v.Time = 46365.0 + double(i) * (1.0 / 86400000.0) * 3.7;
        v.UnitName = d.Unit;
        v.ProcName = d.Proc;
        v.LineNumber = d.Line;
        v.Data = reinterpret_cast<const uint8_t*>(d.Data);
        v.DataSize = d.Data ? int32_t(std::char_traits<char>::length(d.Data)) : 0;
    }

    // The viewer takes at most about 5,700 records a second under Wine, so a
    // flush to the disk every 5,000 rows is more than the one-second timer's share.
    const size_t flushEvery = 5000;
    TSessionWriter w;
    if (!w.Create(path, 46365.0)) {
        std::fprintf(stderr, "%s\n", w.Error().c_str());
        return 1;
    }
    std::vector<double> flushes; // the timer's stall on the viewer's thread
    auto t0 = Clock::now();
    for (size_t i = 0; i < rows; ++i) {
        w.AppendRow(views[i]);
        if ((i + 1) % flushEvery == 0) {
            auto f0 = Clock::now();
            w.Flush(true);
            flushes.push_back(Seconds(f0));
        }
    }
    w.Close();
    double appendSeconds = Seconds(t0);
    if (w.Failed()) {
        std::fprintf(stderr, "%s\n", w.Error().c_str());
        return 1;
    }
    struct stat st;
    ::stat(path.c_str(), &st);

    auto t1 = Clock::now();
    auto image = std::make_unique<TSessionImage>();
    TSessionScan scan = LoadSession(path, *image);
    double openSeconds = Seconds(t1);
    if (!scan.Whole || image->Rows.Count() != rows) {
        std::fprintf(stderr, "read back %zu rows: %s\n", image->Rows.Count(), scan.Error.c_str());
        return 1;
    }
    ::unlink(path.c_str());

    std::printf("rows: %zu\n", rows);
    std::printf("log_append_us: %.3f us\n", appendSeconds * 1e6 / double(rows));
    std::printf("file_bytes_per_row: %.1f bytes\n", double(st.st_size) / double(rows));
    if (!flushes.empty()) {
        std::sort(flushes.begin(), flushes.end());
        std::printf("log_flush_ms: %.2f ms\n", flushes[flushes.size() / 2] * 1000.0);
    }
    std::printf("%s: %.0f ms\n", rows == 1000000 ? "open_1m_rows_ms" : "open_rows_ms",
                openSeconds * 1000.0);
    return 0;
}
