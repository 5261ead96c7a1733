#include "mainwindow/ResourceCounts_win.h"

#include <psapi.h>

#include <algorithm>
#include <cstring>
#include <vector>

namespace vx {

namespace {

struct TWindowCount {
    DWORD Pid;
    int64_t N = 0;
};

BOOL CALLBACK CountChild(HWND, LPARAM count) {
    ++reinterpret_cast<TWindowCount*>(count)->N;
    return TRUE;
}

BOOL CALLBACK CountTopLevel(HWND hwnd, LPARAM count) {
    auto* c = reinterpret_cast<TWindowCount*>(count);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid == c->Pid) {
        ++c->N;
        EnumChildWindows(hwnd, &CountChild, count); // all descendants
    }
    return TRUE;
}

int64_t CountUserObjects() {
    if (DWORD n = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS)) return n;
    TWindowCount c{GetCurrentProcessId()};
    EnumWindows(&CountTopLevel, LPARAM(&c));
    // Message-only windows (the record receiver) are not top-level windows.
    for (HWND w = nullptr; (w = FindWindowExA(HWND_MESSAGE, w, nullptr, nullptr));)
        CountTopLevel(w, LPARAM(&c));
    // Wine: a USER slot answers to two handle values (its index shifted by one).
    for (ULONG_PTR h = 0x20; h < 0x10000; h += 2)
        if (IsMenu(reinterpret_cast<HMENU>(h))) ++c.N;
    return c.N;
}

int64_t CountGdiObjects() {
    if (DWORD n = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS)) return n;
    // Wine takes a handle without its generation in the high word as the
    // object now in that slot.
    int64_t n = 0;
    for (ULONG_PTR h = 1; h < 0x10000; ++h)
        if (GetObjectType(reinterpret_cast<HGDIOBJ>(h))) ++n;
    return n;
}

// The system's list of open handles, of which this process's are counted:
// Wine's GetProcessHandleCount answers 0. The list is read with a bounded
// buffer; -1 when it cannot be had.
int64_t CountHandlesInSystemList() {
    struct TEntry { // SYSTEM_HANDLE_ENTRY
        ULONG OwnerPid;
        BYTE ObjectType, HandleFlags;
        USHORT HandleValue;
        PVOID ObjectPointer;
        ULONG AccessMask;
    };
    using TQuery = LONG(WINAPI*)(ULONG, PVOID, ULONG, PULONG);
    HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    auto query = ntdll ? reinterpret_cast<TQuery>(reinterpret_cast<void*>(
                             GetProcAddress(ntdll, "NtQuerySystemInformation")))
                       : nullptr;
    if (!query) return -1;
    constexpr ULONG kSystemHandleInformation = 16;
    constexpr LONG kInfoLengthMismatch = LONG(0xC0000004);
    for (ULONG size = 1u << 20; size <= (64u << 20); size *= 4) {
        std::vector<char> buffer(size);
        ULONG needed = 0;
        LONG status = query(kSystemHandleInformation, buffer.data(), size, &needed);
        if (status == kInfoLengthMismatch) continue;
        if (status < 0) return -1;
        ULONG count;
        std::memcpy(&count, buffer.data(), sizeof count);
        const size_t first = sizeof(ULONG_PTR); // the entries follow the count, aligned
        count = ULONG(std::min<size_t>(count, (size - first) / sizeof(TEntry)));
        const DWORD self = GetCurrentProcessId();
        int64_t n = 0;
        for (ULONG i = 0; i < count; ++i) {
            TEntry e;
            std::memcpy(&e, buffer.data() + first + i * sizeof(TEntry), sizeof e);
            n += e.OwnerPid == self;
        }
        return n;
    }
    return -1;
}

} // namespace

UINT ResourceCountsMessage() {
    static const UINT message = RegisterWindowMessageA("vxDebuggerResourceCounts");
    return message;
}

int64_t CountOwnResources(WPARAM kind) {
    switch (kind) {
    case rcUserObjects:
        return CountUserObjects();
    case rcGdiObjects:
        return CountGdiObjects();
    case rcHandles: {
        DWORD n = 0;
        if (GetProcessHandleCount(GetCurrentProcess(), &n) && n) return n;
        return CountHandlesInSystemList();
    }
    case rcWorkingSetKB: {
        PROCESS_MEMORY_COUNTERS pmc{};
        pmc.cb = sizeof pmc;
        if (!K32GetProcessMemoryInfo(GetCurrentProcess(), &pmc, sizeof pmc)) return -1;
        return int64_t(pmc.WorkingSetSize / 1024);
    }
    default:
        return -1;
    }
}

} // namespace vx
