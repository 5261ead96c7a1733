// The client side of the viewer's protocol, as a Delphi program's debug unit
// speaks it: register the two messages, find the viewer, send one WM_COPYDATA
// per record. Used by vxsend and by the tests.
#pragma once

#include "protocol/Common_Types.h"

#include <windows.h>

#include <string>

namespace vx {

class TDebugClient {
  public:
    TDebugClient();
    ~TDebugClient();
    TDebugClient(const TDebugClient&) = delete;
    TDebugClient& operator=(const TDebugClient&) = delete;

    // Finds the viewer: broadcasts a handshake request with this client's own
    // window and waits up to timeoutMs for vnAnswer (or a vnShown notice).
    bool FindViewer(DWORD timeoutMs = 2000);
    HWND Viewer() const { return viewer_; }
    void SetViewer(HWND viewer) { viewer_ = viewer; }
    HWND Window() const { return window_; }
    // True once the viewer has announced that it is closing.
    bool ViewerClosed() const { return closed_; }

    // Sends one record; wParam carries the kind in its low byte (the upper
    // bits are passed through, for tests). False when there is no viewer or
    // the call failed.
    bool Send(uint32_t wParam, const TPacketFields& fields);
    // Sends a raw block (for hostile-record tests): cbData = bytes.size().
    bool SendRaw(uint32_t wParam, const void* data, DWORD size);
    // Delivers a handshake request with an arbitrary wParam.
    bool PostHandshake(WPARAM wParam);

    // Pumps this thread's messages for up to ms milliseconds.
    void Pump(DWORD ms);

  private:
    static LRESULT CALLBACK WndProc(HWND, UINT, WPARAM, LPARAM);
    HWND window_ = nullptr;
    HWND viewer_ = nullptr;
    bool closed_ = false;
};

} // namespace vx
