// The two registered window messages of the client protocol, registered once
// at program start and kept for the life of the process.
#pragma once

#include <cstdint>

namespace vx {

extern uint32_t WM_CLIENT2DEBUGGER; // "vxClient2Debugger"
extern uint32_t WM_DEBUGGER2CLIENT; // "vxDebugger2Client"

// Registers both names; safe to call more than once.
void RegisterDebugMessages();

} // namespace vx
