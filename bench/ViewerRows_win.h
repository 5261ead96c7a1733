// What the benchmarks that flood the viewer share: the rows its debug lists
// show, asked of the viewer from another process, its main window, the clock
// and the statistics of the figures.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <atomic>
#include <string>
#include <thread>
#include <vector>

namespace vxbench {

// Rows in every list view of the viewer's main window. The lists are looked
// for again every half second only: asking every child window's class 50
// times a second loaded the server (and so the senders) as much as a tenth
// of what the viewer asked of it.
inline long ViewerRows(HWND main) {
    static std::vector<HWND> lists;
    static DWORD found = 0;
    if (lists.empty() || GetTickCount() - found >= 500) {
        lists.clear();
        found = GetTickCount();
        EnumChildWindows(
            main,
            [](HWND w, LPARAM param) -> BOOL {
                char cls[32] = {};
                GetClassNameA(w, cls, sizeof cls);
                if (std::string(cls) == WC_LISTVIEWA)
                    reinterpret_cast<std::vector<HWND>*>(param)->push_back(w);
                return TRUE;
            },
            LPARAM(&lists));
    }
    long rows = 0;
    for (HWND w : lists) {
        DWORD_PTR count = 0;
        if (SendMessageTimeoutA(w, LVM_GETITEMCOUNT, 0, 0, SMTO_NORMAL, 5000, &count))
            rows += long(count);
    }
    return rows;
}

// Seconds on the performance counter.
inline double Now() {
    static LARGE_INTEGER freq = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return double(t.QuadPart) / double(freq.QuadPart);
}

// The viewer's shown main window in process `pid`, or null.
inline HWND MainWindow(DWORD pid) {
    struct TFind {
        DWORD Pid;
        HWND Found = nullptr;
    } f{pid};
    EnumWindows(
        [](HWND w, LPARAM param) -> BOOL {
            auto* f = reinterpret_cast<TFind*>(param);
            DWORD owner = 0;
            GetWindowThreadProcessId(w, &owner);
            char text[64] = {};
            GetWindowTextA(w, text, sizeof text);
            if (owner == f->Pid && IsWindowVisible(w) && std::string(text) == "vxDebugger") {
                f->Found = w;
                return FALSE;
            }
            return TRUE;
        },
        LPARAM(&f));
    return f.Found;
}

// Waits up to 20 s for the main window of the viewer in process `pid`.
inline HWND WaitMainWindow(DWORD pid) {
    HWND main = nullptr;
    for (int i = 0; i < 1000 && !(main = MainWindow(pid)); ++i)
        Sleep(20);
    return main;
}

// The value below which the fraction p of v lies (the nearest rank).
inline double Percentile(std::vector<double> v, double p) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    size_t i = std::min(v.size() - 1, size_t(p * double(v.size() - 1) + 0.5));
    return v[i];
}

inline double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return n == 0 ? 0 : n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

// Asks `window` for a WM_NULL every 10 ms on a thread of its own until Stop:
// how long each answer took (ms), and when it was asked (s from the start).
class TAnswerProbe {
  public:
    explicit TAnswerProbe(HWND window)
        : start_(Now()), thread_([this, window] {
              while (running_) {
                  const double asked = Now();
                  DWORD_PTR result;
                  SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &result);
                  Answers.push_back((Now() - asked) * 1000);
                  At.push_back(asked - start_);
                  Sleep(10);
              }
          }) {}
    ~TAnswerProbe() { Stop(); }
    TAnswerProbe(const TAnswerProbe&) = delete;
    TAnswerProbe& operator=(const TAnswerProbe&) = delete;
    void Stop() {
        running_ = false;
        if (thread_.joinable()) thread_.join();
    }
    std::vector<double> Answers, At; // to be read after Stop

  private:
    std::atomic<bool> running_{true};
    const double start_;
    std::thread thread_;
};

} // namespace vxbench
