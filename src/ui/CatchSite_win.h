// Where a window's handler let an exception escape, in a few words for the
// exception log: "Tfrm_VexelDebugWindow WM_COPYDATA",
// "TPanel WM_NOTIFY from TDebugList", "TApplicationWindow vxClient2Debugger".
#pragma once

#include <windows.h>

#include <string>
#include <typeinfo>

namespace vx::ui {

// "WM_COMMAND", a registered message's own name, "WM_USER+5", "message 0x0093".
std::string MessageName(UINT msg);

// The C++ class of the window that ran the message, the message, and for a
// notification a child sent (WM_COMMAND, WM_NOTIFY, WM_CTLCOLOR*) the child
// control's class when it is a window of this layer.
std::string CatchSite(const std::type_info& window, UINT msg, WPARAM wParam, LPARAM lParam);

} // namespace vx::ui
