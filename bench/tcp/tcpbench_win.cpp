// tcpbench: records per second of `vxsend --tcp ... flood N` into one
// section, into the bare receiver `vxreceive --tcp`, then into the viewer
// listening for remote clients, then into the bare receiver again, in the
// same run; meanwhile another thread measures how fast the viewer's window
// answers WM_NULL. The ceiling of a viewer run is the mean of the two bare
// rates, before and after it: this machine's speed drifts by a fifth within
// seconds, and one bare run alone gave ratios above 1. Viewer and bare runs
// take turns ROUNDS times (3 unless told): rates and ratios are the medians
// of the rounds (the ratio is the median of the rounds' ratios, not the
// quotient of the median rates), the answer times are taken over all of
// them. Prints one figure a line as "name: value unit".
//
// Usage: tcpbench VXDEBUGGER VXSEND VXRECEIVE PORT [RECORDS] [ROUNDS]
#include <winsock2.h>
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

PROCESS_INFORMATION Start(const std::string& commandLine) {
    PROCESS_INFORMATION pi{};
    STARTUPINFOA si{};
    si.cb = sizeof si;
    std::string cmd = commandLine;
    if (!CreateProcessA(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                        &pi)) {
        std::fprintf(stderr, "tcpbench: cannot start %s\n", commandLine.c_str());
        std::exit(1);
    }
    CloseHandle(pi.hThread);
    return pi;
}

DWORD Wait(PROCESS_INFORMATION& p, DWORD ms = 600000) {
    WaitForSingleObject(p.hProcess, ms);
    DWORD code = 1;
    GetExitCodeProcess(p.hProcess, &code);
    CloseHandle(p.hProcess);
    return code;
}

// Something listens on the port (a connection that is closed again at once).
bool Listening(int port) {
    SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(uint16_t(port));
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bool ok = connect(s, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0;
    closesocket(s);
    return ok;
}

bool WaitListening(int port, DWORD ms) {
    for (DWORD start = GetTickCount(); GetTickCount() - start < ms; Sleep(50))
        if (Listening(port)) return true;
    return false;
}

void SetDisplay(HKEY key, const char* name, const std::string& value) {
    RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                   DWORD(value.size() + 1));
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 5) {
        std::fputs("usage: tcpbench VXDEBUGGER VXSEND VXRECEIVE PORT [RECORDS] [ROUNDS]\n", stderr);
        return 2;
    }
    const std::string viewerExe = argv[1], vxsend = argv[2], receiver = argv[3];
    const int port = std::atoi(argv[4]);
    const long n = argc > 5 ? std::strtol(argv[5], nullptr, 10) : 1000000;
    const int rounds = argc > 6 ? std::max(1, std::atoi(argv[6])) : 3;
    WSADATA wsa;
    WSAStartup(MAKEWORD(2, 2), &wsa);
    const std::string where = "127.0.0.1:" + std::to_string(port);
    const std::string flood =
        "\"" + vxsend + "\" --tcp " + where + " --client bench flood " + std::to_string(n);

    // The bare receiver: it ends once it has taken the connect and every row.
    auto bareRate = [&]() -> double {
        PROCESS_INFORMATION bare =
            Start("\"" + receiver + "\" --tcp " + where + " " + std::to_string(n + 1));
        if (!WaitListening(port, 20000)) {
            std::fputs("tcpbench: the bare receiver does not listen\n", stderr);
            std::exit(1);
        }
        const double start = Now();
        PROCESS_INFORMATION sender = Start(flood);
        const DWORD bareExit = Wait(bare);
        const double seconds = Now() - start;
        Wait(sender);
        if (bareExit != 0) {
            std::fputs("tcpbench: the bare receiver failed\n", stderr);
            std::exit(1);
        }
        return n / seconds;
    };
    HKEY key;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Vexel\\Debugger\\1.0\\Display", 0, nullptr, 0,
                        KEY_WRITE, nullptr, &key, nullptr) == ERROR_SUCCESS) {
        SetDisplay(key, "TcpListen", "1");
        SetDisplay(key, "TcpAddress", "127.0.0.1");
        SetDisplay(key, "TcpPort", std::to_string(port));
        SetDisplay(key, "TcpKey", "");
        RegCloseKey(key);
    }
    // The viewer, listening from the start.
    struct TViewerRun {
        double Rate = 0, TailMs = 0;
        std::vector<double> Answers;
    };
    auto viewerRun = [&]() -> TViewerRun {
        TViewerRun run;
        PROCESS_INFORMATION viewer = Start("\"" + viewerExe + "\"");
        const HWND main = vxbench::WaitMainWindow(viewer.dwProcessId);
        if (!main || !WaitListening(port, 20000)) {
            std::fputs("tcpbench: the viewer does not listen\n", stderr);
            TerminateProcess(viewer.hProcess, 1);
            std::exit(1);
        }
        Sleep(1000); // past the start-up's own work
        vxbench::TAnswerProbe probe(main);
        const double t0 = Now();
        PROCESS_INFORMATION sender = Start(flood);
        const DWORD sent = Wait(sender);
        const double sentAt = Now();
        long rows = 0;
        for (DWORD start = GetTickCount(); GetTickCount() - start < 600000; Sleep(20))
            if ((rows = vxbench::ViewerRows(main)) >= n) break;
        const double shownAt = Now();
        probe.Stop();
        run.Answers = std::move(probe.Answers);
        TerminateProcess(viewer.hProcess, 0);
        WaitForSingleObject(viewer.hProcess, 10000); // its port is free again
        CloseHandle(viewer.hProcess);
        if (sent != 0 || rows < n) {
            std::fprintf(stderr, "tcpbench: the viewer shows %ld of %ld records\n", rows, n);
            std::exit(1);
        }
        for (int i = 0; i < 250 && Listening(port); ++i)
            Sleep(20);
        run.Rate = n / (shownAt - t0);
        // From the sender's end to the last record in the list.
        run.TailMs = (shownAt - sentAt) * 1000;
        return run;
    };

    // Bare, then viewer and bare in turn: each viewer run is measured against
    // the mean of the bare runs on either side of it.
    std::vector<double> bares{bareRate()}, rates, ratios, tails, answers;
    for (int r = 0; r < rounds; ++r) {
        TViewerRun run = viewerRun();
        bares.push_back(bareRate());
        rates.push_back(run.Rate);
        ratios.push_back(run.Rate / ((bares[size_t(r)] + bares[size_t(r) + 1]) / 2));
        tails.push_back(run.TailMs);
        answers.insert(answers.end(), run.Answers.begin(), run.Answers.end());
    }
    std::printf("tcp_rounds: %d rounds\n", rounds);
    std::printf("tcp_bare_records_per_s: %.0f records/s\n", Median(bares));
    std::printf("tcp_records_per_s: %.0f records/s\n", Median(rates));
    std::printf("tcp_ratio: %.3f ratio\n", Median(ratios));
    std::printf("tcp_ratio_min: %.3f ratio\n", *std::min_element(ratios.begin(), ratios.end()));
    std::printf("tcp_ratio_max: %.3f ratio\n", *std::max_element(ratios.begin(), ratios.end()));
    std::printf("tcp_tail_ms: %.0f ms\n", Median(tails));
    // Over the answers of every round.
    std::printf("tcp_ui_p99_ms: %.1f ms\n", Percentile(answers, 0.99));
    std::printf("tcp_ui_max_ms: %.1f ms\n", Percentile(answers, 1.0));
    return 0;
}
