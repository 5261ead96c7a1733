// The "Remote clients" dialog: listen on/off, address, port and key, with
// the reason shown in the dialog when the settings cannot be used.
#pragma once

#include "net/TcpSettings.h"

#include <windows.h>

namespace vx {

class TRemoteClientsDialogWin : public net::IRemoteClientsDialog {
  public:
    explicit TRemoteClientsDialogWin(HWND owner) : owner_(owner) {}
    bool Run(const net::TTcpSettings& settings, const TApply& apply) override;

  private:
    HWND owner_;
};

} // namespace vx
