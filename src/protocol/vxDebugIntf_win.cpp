#include "vxDebugIntf.h"

#include "Common_Types.h"

#include <windows.h>

namespace vx {

uint32_t WM_CLIENT2DEBUGGER = 0;
uint32_t WM_DEBUGGER2CLIENT = 0;

void RegisterDebugMessages() {
    WM_CLIENT2DEBUGGER = RegisterWindowMessageA(kClient2Debugger);
    WM_DEBUGGER2CLIENT = RegisterWindowMessageA(kDebugger2Client);
}

} // namespace vx
