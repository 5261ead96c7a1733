// Sections built as clients connect: the viewer starts empty and N clients
// connect one after another, each once the last one's section stands and has
// been painted. For every connect the viewer's own time for building the
// section (the registered message "vxDebuggerResourceCounts" answers it), the
// longest time its window took to answer another process meanwhile, and the
// USER objects a section holds. Prints one figure a line as "name: value unit".
// Usage: connectbench [SECTIONS]
#include "ViewerProcess.h"
#include "vxClient_win.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

using namespace vxtest;

namespace {

constexpr WPARAM kUserObjects = 0, kSectionsBuilt = 4, kLastBuildMicros = 5;
constexpr DWORD kSettleMs = 300; // after a build: its first paint and the side bar's

double NowMs() {
    static LARGE_INTEGER f = [] {
        LARGE_INTEGER v;
        QueryPerformanceFrequency(&v);
        return v;
    }();
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return double(t.QuadPart) * 1000.0 / double(f.QuadPart);
}

// The answer and how long the window took to give it.
long long Ask(HWND w, UINT msg, WPARAM wParam, double& ms) {
    DWORD_PTR result = 0;
    const double t0 = NowMs();
    BOOL ok = SendMessageTimeoutA(w, msg, wParam, 0, SMTO_NORMAL, 10000, &result);
    ms = NowMs() - t0;
    return ok ? (long long)(result) : -1;
}

double Median(std::vector<double> v) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

int Fail(const std::string& why) {
    std::fprintf(stderr, "connectbench: %s\n", why.c_str());
    return 1;
}

} // namespace

int main(int argc, char** argv) {
    const int sections = argc > 1 ? std::max(1, std::atoi(argv[1])) : 20;
    TViewerProcess viewer;
    if (!viewer.Start()) return Fail("the viewer does not start");
    Sleep(1000); // past the start-up's own work
    const HWND main = viewer.Main();
    const UINT counts = RegisterWindowMessageA("vxDebuggerResourceCounts");
    double ms = 0;
    vx::TDebugClient client;
    client.SetViewer(viewer.Announced());
    std::vector<double> builds, answers;
    long long usersBefore = Ask(main, counts, kUserObjects, ms);
    for (int i = 0; i < sections; ++i) {
        const long long before = Ask(main, counts, kSectionsBuilt, ms);
        vx::TPacketFields f;
        f.ClientID = "bench" + std::to_string(i);
        f.Text = "C:\\Bench\\Bench.exe|Bench " + std::to_string(i);
        f.Level = 3;
        if (!client.Send(vx::dkConnect, f)) return Fail("the viewer does not take a connect");
        // Every question waits while the window builds; the longest wait is
        // what a user or another program sees of the build.
        double longest = 0;
        const double start = NowMs();
        while (Ask(main, counts, kSectionsBuilt, ms) <= before) {
            longest = std::max(longest, ms);
            if (NowMs() - start > 20000) return Fail("no section for a connect");
        }
        longest = std::max(longest, ms);
        for (const double settled = NowMs(); NowMs() - settled < kSettleMs; Sleep(2)) {
            Ask(main, WM_NULL, 0, ms);
            longest = std::max(longest, ms);
        }
        builds.push_back(double(Ask(main, counts, kLastBuildMicros, ms)) / 1000.0);
        answers.push_back(longest);
    }
    const long long usersAfter = Ask(main, counts, kUserObjects, ms);
    std::printf("section_build_ms: %.1f ms\n", Median(builds));
    std::printf("section_build_max_ms: %.1f ms\n", *std::max_element(builds.begin(), builds.end()));
    std::printf("section_connect_ui_ms: %.1f ms\n", Median(answers));
    std::printf("section_user_objects: %.1f objects\n",
                double(usersAfter - usersBefore) / double(sections));
    return 0;
}
