// How many USER and GDI objects the test process holds. GetGuiResources
// answers 0 under Wine (8.0 here), so there the windows of the thread are
// counted by enumeration, and menus and GDI objects by asking for each handle
// slot: Wine takes a handle without its generation in the high word as the
// object now in that slot.
#pragma once

#include <windows.h>

namespace vxtest {

struct TGuiObjects {
    long User = 0, Gdi = 0;
    bool Measured = false; // by GetGuiResources, not by counting
};

namespace detail {

inline BOOL CALLBACK CountChild(HWND, LPARAM count) {
    ++*reinterpret_cast<long*>(count);
    return TRUE;
}

inline BOOL CALLBACK CountTopLevel(HWND hwnd, LPARAM count) {
    ++*reinterpret_cast<long*>(count);
    EnumChildWindows(hwnd, &CountChild, count); // all descendants
    return TRUE;
}

} // namespace detail

inline TGuiObjects GuiObjects() {
    TGuiObjects n;
    HANDLE self = GetCurrentProcess();
    n.User = long(GetGuiResources(self, GR_USEROBJECTS));
    n.Gdi = long(GetGuiResources(self, GR_GDIOBJECTS));
    if (n.User && n.Gdi) {
        n.Measured = true;
        return n;
    }
    n.User = 0;
    EnumThreadWindows(GetCurrentThreadId(), &detail::CountTopLevel, LPARAM(&n.User));
    // A USER slot answers to two handle values (its index is shifted by one).
    for (ULONG_PTR h = 0x20; h < 0x10000; h += 2)
        if (IsMenu(reinterpret_cast<HMENU>(h))) ++n.User;
    n.Gdi = 0;
    for (ULONG_PTR h = 1; h < 0x10000; ++h)
        if (GetObjectType(reinterpret_cast<HGDIOBJ>(h))) ++n.Gdi;
    return n;
}

} // namespace vxtest
