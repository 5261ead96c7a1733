// What the benchmarks that flood the viewer share: the rows its debug lists
// show, asked of the viewer from another process.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <string>
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

} // namespace vxbench
