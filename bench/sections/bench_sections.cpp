// Speed and memory of a section's debug list: 1,000,000 typical rows appended
// through AddDebugInfo, filtered, read cell by cell, and cleared again.
#include "platform/Fakes.h"
#include "sections/SectionCore.h"
#include "settings/SettingsBackend.h"

#include <chrono>
#include <cstdio>
#include <fstream>
#include <random>
#include <ctime>
#include <string>
#include <unistd.h>
#include <vector>

using namespace vx;
using Clock = std::chrono::steady_clock;

namespace {

double ResidentMB() {
    std::ifstream statm("/proc/self/statm");
    long size = 0, resident = 0;
    statm >> size >> resident;
    return double(resident) * double(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}

double Seconds(Clock::time_point from) {
    return std::chrono::duration<double>(Clock::now() - from).count();
}

// Processor time of this process: other programs on a busy machine do not count.
double CpuSeconds() {
    timespec ts;
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) * 1e-9;
}

// A 60-character message that differs from row to row.
std::string MessageText(size_t i) {
    std::string t = "Processing record " + std::to_string(i) + " of the import batch: ";
    t.resize(60, 'x');
    return t;
}

} // namespace

int main(int argc, char** argv) {
    const size_t rows = argc > 1 ? std::stoul(argv[1]) : 1000000;
    TFakePlatform fakes;
    TMemorySettings settings;
    TRegistryHandler registry(settings);
    TSectionShared shared;
    TDataViewerModel viewer;
    TSectionContext ctx{fakes.Services(), &registry, nullptr, &viewer, &shared};

    std::vector<std::string> units, procs;
    for (int i = 0; i < 50; ++i) {
        units.push_back("UnitNumber" + std::to_string(i) + ".pas");
        procs.push_back("TMainForm.HandleEvent" + std::to_string(i));
    }

    double before = ResidentMB();
    auto section = std::make_unique<TSectionCore>(ctx);
    section->ClientID = "bench client";
    double empty = ResidentMB();

    TDebugInfoRec rec;
    auto t0 = Clock::now();
    double c0 = CpuSeconds();
    for (size_t i = 0; i < rows; ++i) {
        rec.Group = uint8_t(i % 4);
        rec.Kind = uint8_t(dkString + i % 19);
        rec.Text = MessageText(i);
        rec.Time = 46000.0 + double(i) / 86400.0;
        rec.UnitName = units[i % 50];
        rec.ProcName = procs[(i / 7) % 50];
        rec.LineNumber = int32_t(100 + i % 900);
        section->AddDebugInfo(rec, false);
    }
    double appendSeconds = Seconds(t0);
    double appendCpu = CpuSeconds() - c0;
    double full = ResidentMB();

    // Building the records alone, to separate the dispatcher's share.
    auto t1 = Clock::now();
    size_t sink = 0;
    for (size_t i = 0; i < rows; ++i) {
        rec.Text = MessageText(i);
        rec.UnitName = units[i % 50];
        rec.ProcName = procs[(i / 7) % 50];
        sink += rec.Text.size();
    }
    double buildSeconds = Seconds(t1);

    const int filterRuns = 20;
    auto t2 = Clock::now();
    double c2 = CpuSeconds();
    for (int k = 0; k < filterRuns; ++k)
        section->ApplyGroupFilter(uint8_t(1 + k % 4));
    double filterMs = Seconds(t2) * 1000.0 / filterRuns;
    double filterCpuMs = (CpuSeconds() - c2) * 1000.0 / filterRuns;
    size_t shown = section->VisibleCount();
    auto t3 = Clock::now();
    section->ApplyGroupFilter(0);
    double showAllMs = Seconds(t3) * 1000.0;

    std::mt19937 rnd(7);
    const int cells = 1000000;
    auto t4 = Clock::now();
    double c4 = CpuSeconds();
    for (int k = 0; k < cells; ++k) {
        size_t v = rnd() % section->VisibleCount();
        sink += section->CellText(v, 2 + k % 2).size();
    }
    double cellNs = Seconds(t4) * 1e9 / cells;
    double cellCpuNs = (CpuSeconds() - c4) * 1e9 / cells;

    auto t5 = Clock::now();
    section->ClearDebugInfos(false);
    double clearMs = Seconds(t5) * 1000.0;
    double cleared = ResidentMB();

    // A flood after the user filtered a young list: nearly every row joins
    // the index of shown rows.
    for (uint8_t g = 0; g < 4; ++g) {
        rec.Group = g;
        section->AddDebugInfo(rec, false);
    }
    section->ApplyGroupFilter(2);
    const size_t filteredRows = rows / 10;
    auto t6 = Clock::now();
    for (size_t i = 0; i < filteredRows; ++i) {
        rec.Text = MessageText(i);
        section->AddDebugInfo(rec, false);
    }
    double filteredAppendSeconds = Seconds(t6);

    std::printf("rows appended:              %zu\n", rows);
    std::printf("append (AddDebugInfo):      %.3f us/row, %.3f us/row processor time"
                " (building the records alone %.3f us/row)\n",
                appendSeconds * 1e6 / double(rows), appendCpu * 1e6 / double(rows),
                buildSeconds * 1e6 / double(rows));
    std::printf("memory for the rows:        %.1f MB (resident %.1f MB, %.1f MB before)\n",
                full - empty, full, before);
    std::printf("ApplyGroupFilter 1..4:      %.2f ms, %.2f ms processor time (%zu rows shown)\n",
                filterMs, filterCpuMs, shown);
    std::printf("ApplyGroupFilter 0:         %.2f ms\n", showAllMs);
    std::printf("cell text on demand:        %.0f ns per cell, %.0f ns processor time"
                " (message and time columns, random rows)\n",
                cellNs, cellCpuNs);
    std::printf("ClearDebugInfos:            %.1f ms, resident after %.1f MB (%.1f MB returned)\n",
                clearMs, cleared, full - cleared);
    std::printf("append under a filter:      %.3f us/row (%zu rows)\n",
                filteredAppendSeconds * 1e6 / double(filteredRows), filteredRows);
    return sink == 0 ? 1 : 0;
}
