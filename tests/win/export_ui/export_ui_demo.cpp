// Shows the export windows for screenshots and measures the progress window:
//   export_ui_demo dialog [seconds [type]]  the format dialog (Microsoft Excel, or
//                                       the type of that ordinal)
//   export_ui_demo progress [seconds]   a slow export with its progress window
//   export_ui_demo bench [records]      CSV export with and without the window
#include "ExportUiRig.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>

using namespace vx;
using namespace vxtest;

namespace {

// Rows that take a while each, so the window can be looked at.
class TSlowTable : public TTable {
  public:
    using TTable::TTable;
    int DelayEvery = 0;
    void GetRecordValues(TvxValues& v) override {
        if (DelayEvery && RecordIndex % DelayEvery == 0) Sleep(10);
        TTable::GetRecordValues(v);
    }
};

int ShowDialog(int seconds, int type) {
    TPlainHost& host = Owner();
    TFakePlatform fake;
    TvxExportUIWin ui(host.Handle());
    TTable table(fake.Services());
    table.SetUI(&ui);
    table.Messages.Caption = "Exporting List";
    table.SetExportType(type >= 0 && type < kExportTypeCount ? TvxExportType(type) : xtExcel);
    std::vector<TStep> steps{[](HWND) {}};
    for (int i = 0; i < seconds * 50; ++i)
        steps.push_back([](HWND) {});
    steps.push_back([](HWND d) { PostMessageA(d, WM_COMMAND, IDCANCEL, 0); });
    Drive(ui, steps);
    table.Execute();
    return 0;
}

int ShowProgress(int seconds) {
    TPlainHost& host = Owner();
    TFakePlatform fake;
    TvxExportUIWin ui(host.Handle());
    TSlowTable table(fake.Services());
    table.SetUI(&ui);
    table.Messages.Caption = "Exporting List";
    table.Rows = seconds * 100 * 100; // 10 ms every 100 rows
    table.DelayEvery = 100;
    table.ExportStyle = xsFile;
    table.SetExportType(xtCSV);
    table.FileName = TempFolder() + "slow.csv";
    table.ExportData();
    return 0;
}

double Seconds(TTable& table) {
    auto start = std::chrono::steady_clock::now();
    table.ExportData();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

int Bench(int rows) {
    TPlainHost& host = Owner();
    TFakePlatform fake;
    TvxExportUIWin ui(host.Handle());
    TTable table(fake.Services());
    table.Rows = rows;
    table.ExportStyle = xsFile;
    table.SetExportType(xtCSV);
    table.FileName = TempFolder() + "bench.csv";
    double without = 1e9, with = 1e9;
    for (int round = 0; round < 3; ++round) {
        table.SetUI(nullptr);
        without = std::min(without, Seconds(table));
        table.SetUI(&ui);
        with = std::min(with, Seconds(table));
    }
    // The window alone: every position of the range.
    auto start = std::chrono::steady_clock::now();
    int repaints = 0;
    {
        TvxExportProgressWin progress(host.Handle(), table.Messages, rows);
        for (int i = 0; i < rows; ++i)
            progress.SetPosition(i);
        repaints = progress.Repaints();
    }
    const double alone =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    // A slow source (10 ms every 100 records, 2 s in all): the window repaints
    // 20 times a second all along.
    TSlowTable slow(fake.Services());
    slow.Rows = 20000;
    slow.DelayEvery = 100;
    slow.ExportStyle = xsFile;
    slow.SetExportType(xtCSV);
    slow.FileName = table.FileName;
    const double slowWithout = Seconds(slow);
    slow.SetUI(&ui);
    const double slowWith = Seconds(slow);
    std::printf("slow source, %d records: %.0f ms without the progress window, %.0f ms with it "
                "(%+.1f%%)\n",
                slow.Rows, slowWithout * 1000, slowWith * 1000,
                (slowWith - slowWithout) * 100 / slowWithout);
    std::printf("CSV export of %d records, best of 3: %.1f ms without the progress window, "
                "%.1f ms with it (%+.1f ms)\n",
                rows, without * 1000, with * 1000, (with - without) * 1000);
    std::printf("progress window alone: %.1f ms for %d positions, %d repaints (window "
                "created and destroyed included)\n",
                alone * 1000, rows, repaints);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    const char* mode = argc > 1 ? argv[1] : "dialog";
    const int n = argc > 2 ? std::atoi(argv[2]) : 0;
    if (std::strcmp(mode, "dialog") == 0)
        return ShowDialog(n > 0 ? n : 5, argc > 3 ? std::atoi(argv[3]) : -1);
    if (std::strcmp(mode, "progress") == 0) return ShowProgress(n > 0 ? n : 5);
    if (std::strcmp(mode, "bench") == 0) return Bench(n > 0 ? n : 100000);
    std::fprintf(stderr, "usage: export_ui_demo dialog|progress|bench [n]\n");
    return 2;
}
