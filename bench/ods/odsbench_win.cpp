// odsbench: OutputDebugString lines per second from four sending processes,
// into the bare reader odsreceive, then into the viewer, then into the bare
// reader again, in the same run; meanwhile another thread measures how fast
// the viewer's window answers WM_NULL. The ceiling of a viewer run is the
// mean of the two bare rates, before and after it: this machine's speed
// drifts by a fifth within seconds. Viewer and bare runs take turns ROUNDS
// times (3 unless told), each sender writing LINES_PER_SENDER lines (10,000
// unless told): rates and ratios are the medians of the rounds, the
// answer times are taken over all of them (the ratio is the median of the
// rounds' ratios, not the quotient of the median rates). Prints one figure a line as
// "name: value unit".
//
// Usage: odsbench VXDEBUGGER VXSEND ODSRECEIVE [LINES_PER_SENDER] [ROUNDS]
#include <windows.h>
#include <commctrl.h>

#include "../ViewerRows_win.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

using vxbench::Median;
using vxbench::Now;
using vxbench::Percentile;

constexpr int kSenders = 4;

bool BufferServed() {
    HANDLE ready = OpenEventA(SYNCHRONIZE, FALSE, "DBWIN_BUFFER_READY");
    if (ready) CloseHandle(ready);
    return ready != nullptr;
}

bool WaitUntil(bool (*cond)(), DWORD ms) {
    for (DWORD start = GetTickCount(); GetTickCount() - start < ms; Sleep(20))
        if (cond()) return true;
    return false;
}

PROCESS_INFORMATION Start(const std::string& commandLine) {
    PROCESS_INFORMATION pi{};
    STARTUPINFOA si{};
    si.cb = sizeof si;
    std::string cmd = commandLine;
    if (!CreateProcessA(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                        &pi)) {
        std::fprintf(stderr, "odsbench: cannot start %s\n", commandLine.c_str());
        std::exit(1);
    }
    CloseHandle(pi.hThread);
    return pi;
}

std::vector<PROCESS_INFORMATION> StartSenders(const std::string& vxsend, long lines) {
    std::vector<PROCESS_INFORMATION> senders;
    for (int k = 0; k < kSenders; ++k)
        senders.push_back(Start("\"" + vxsend + "\" ods " + std::to_string(lines) + " bench" +
                                std::to_string(k)));
    return senders;
}

void WaitAll(std::vector<PROCESS_INFORMATION>& processes) {
    for (auto& p : processes) {
        WaitForSingleObject(p.hProcess, 300000);
        CloseHandle(p.hProcess);
    }
    processes.clear();
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fputs("usage: odsbench VXDEBUGGER VXSEND ODSRECEIVE [LINES_PER_SENDER] [ROUNDS]\n",
                   stderr);
        return 2;
    }
    const std::string viewerExe = argv[1], vxsend = argv[2], receiver = argv[3];
    const long lines = argc > 4 ? std::strtol(argv[4], nullptr, 10) : 10000;
    const int rounds = argc > 5 ? std::max(1, std::atoi(argv[5])) : 3;
    const long total = lines * kSenders;
    if (BufferServed()) {
        std::fputs("odsbench: another program reads the buffer\n", stderr);
        return 1;
    }

    // The bare reader.
    auto bareRate = [&]() -> double {
        PROCESS_INFORMATION bare = Start("\"" + receiver + "\" " + std::to_string(total));
        if (!WaitUntil(BufferServed, 20000)) std::exit(1);
        const double start = Now();
        std::vector<PROCESS_INFORMATION> senders = StartSenders(vxsend, lines);
        WaitForSingleObject(bare.hProcess, 300000);
        const double seconds = Now() - start;
        DWORD bareExit = 1;
        GetExitCodeProcess(bare.hProcess, &bareExit);
        CloseHandle(bare.hProcess);
        WaitAll(senders);
        if (bareExit != 0) {
            std::fputs("odsbench: the bare reader did not get every line\n", stderr);
            std::exit(1);
        }
        WaitUntil([] { return !BufferServed(); }, 10000);
        return total / seconds;
    };
    HKEY key;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Vexel\\Debugger\\1.0\\Display", 0, nullptr, 0,
                        KEY_WRITE, nullptr, &key, nullptr) == ERROR_SUCCESS) {
        RegSetValueExA(key, "CaptureODS", 0, REG_SZ, reinterpret_cast<const BYTE*>("1"), 2);
        RegCloseKey(key);
    }
    // The viewer, capturing from the start.
    struct TViewerRun {
        double Rate = 0, TailMs = 0;
        std::vector<double> Answers, At;
        unsigned long Built = 0;
        double LongestBuildMs = 0;
    };
    auto viewerRun = [&]() -> TViewerRun {
        TViewerRun run;
        PROCESS_INFORMATION viewer = Start("\"" + viewerExe + "\"");
        const HWND main = vxbench::WaitMainWindow(viewer.dwProcessId);
        if (!main || !WaitUntil(BufferServed, 20000)) {
            std::fputs("odsbench: the viewer does not capture\n", stderr);
            TerminateProcess(viewer.hProcess, 1);
            std::exit(1);
        }
        Sleep(1000); // past the start-up's own work
        vxbench::TAnswerProbe probe(main);
        const double t0 = Now();
        std::vector<PROCESS_INFORMATION> senders = StartSenders(vxsend, lines);
        // Counting rows asks the viewer's window, so it starts only once every
        // sender is done and the rest is in the viewer's hands.
        WaitAll(senders);
        const double sent = Now();
        long rows = 0;
        for (DWORD start = GetTickCount(); GetTickCount() - start < 300000; Sleep(20))
            if ((rows = vxbench::ViewerRows(main)) >= total) break;
        const double shown = Now();
        probe.Stop();
        run.Answers = std::move(probe.Answers);
        run.At = std::move(probe.At);
        // The sections the senders' first texts built, each in one turn of the
        // window (counted by the viewer itself).
        const UINT counts = RegisterWindowMessageA("vxDebuggerResourceCounts");
        DWORD_PTR built = 0, longest = 0;
        SendMessageTimeoutA(main, counts, 4, 0, SMTO_NORMAL, 5000, &built);
        SendMessageTimeoutA(main, counts, 6, 0, SMTO_NORMAL, 5000, &longest);
        TerminateProcess(viewer.hProcess, 0);
        WaitForSingleObject(viewer.hProcess, 10000);
        CloseHandle(viewer.hProcess);
        if (rows < total) {
            std::fprintf(stderr, "odsbench: the viewer shows %ld of %ld lines\n", rows, total);
            std::exit(1);
        }
        WaitUntil([] { return !BufferServed(); }, 10000);
        run.Rate = total / (shown - t0);
        // From the senders' end to the last line in the lists.
        run.TailMs = (shown - sent) * 1000;
        run.Built = static_cast<unsigned long>(built);
        run.LongestBuildMs = double(longest) / 1000;
        return run;
    };

    // Bare, then viewer and bare in turn: each viewer run is measured against
    // the mean of the bare runs on either side of it.
    std::vector<double> bares{bareRate()}, rates, ratios, tails, answers;
    std::vector<double> at;
    std::vector<int> round; // of each answer
    unsigned long built = ~0ul;
    double longestBuild = 0;
    for (int r = 0; r < rounds; ++r) {
        TViewerRun run = viewerRun();
        bares.push_back(bareRate());
        rates.push_back(run.Rate);
        ratios.push_back(run.Rate / ((bares[size_t(r)] + bares[size_t(r) + 1]) / 2));
        tails.push_back(run.TailMs);
        answers.insert(answers.end(), run.Answers.begin(), run.Answers.end());
        at.insert(at.end(), run.At.begin(), run.At.end());
        round.insert(round.end(), run.At.size(), r + 1);
        // The fewest a round built: each should build one per sender.
        built = std::min(built, run.Built);
        longestBuild = std::max(longestBuild, run.LongestBuildMs);
    }

    std::printf("ods_rounds: %d rounds\n", rounds);
    std::printf("ods_bare_rate: %.0f lines/s\n", Median(bares));
    std::printf("ods_viewer_rate: %.0f lines/s\n", Median(rates));
    std::printf("ods_ratio: %.3f ratio\n", Median(ratios));
    std::printf("ods_ratio_min: %.3f ratio\n", *std::min_element(ratios.begin(), ratios.end()));
    std::printf("ods_ratio_max: %.3f ratio\n", *std::max_element(ratios.begin(), ratios.end()));
    std::printf("ods_tail_ms: %.0f ms\n", Median(tails));
    // Over the answers of every round.
    std::printf("ods_ui_p99_ms: %.1f ms\n", Percentile(answers, 0.99));
    std::printf("ods_ui_max_ms: %.1f ms\n", Percentile(answers, 1.0));
    std::printf("ods_ui_answers: %zu answers\n", answers.size());
    if (std::getenv("VX_ODS_SLOWEST")) {
        std::vector<size_t> order(answers.size());
        for (size_t i = 0; i < order.size(); ++i)
            order[i] = i;
        std::sort(order.begin(), order.end(),
                  [&](size_t a, size_t b) { return answers[a] > answers[b]; });
        for (size_t i = 0; i < order.size() && i < 20; ++i)
            std::fprintf(stderr, "slow %.1f ms at %.3f s of round %d\n", answers[order[i]],
                         at[order[i]], round[order[i]]);
    }
    std::printf("ods_sections_built: %lu sections\n", built);
    std::printf("ods_section_build_max_ms: %.1f ms\n", longestBuild);
    return 0;
}
