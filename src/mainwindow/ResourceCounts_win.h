// What the viewer holds of the system's objects, and what building its last
// section cost, for a soak test, a benchmark or a monitoring tool in another
// process. The main window answers the registered
// message "vxDebuggerResourceCounts" with one count per call; wParam says which.
// USER and GDI objects can be counted only from inside the process (Wine's
// GetGuiResources answers 0, and its GDI handles are the process's own).
#pragma once

#include <windows.h>

#include <cstdint>

namespace vx {

enum TResourceCount : WPARAM {
    rcUserObjects = 0,        // windows and menus (GetGuiResources where it answers)
    rcGdiObjects = 1,         // GDI objects
    rcHandles = 2,            // kernel handles (GetProcessHandleCount, else the system list)
    rcWorkingSetKB = 3,       // resident size in kB
    rcSectionsBuilt = 4,      // sections built since the start (answered by the main window)
    rcLastBuildMicros = 5,    // what the last one took, from its record to its frame shown
    rcLongestBuildMicros = 6, // the longest of them
};

// The message, registered on first use.
UINT ResourceCountsMessage();
// This process's count of one kind; -1 for an unknown kind.
int64_t CountOwnResources(WPARAM kind);

} // namespace vx
