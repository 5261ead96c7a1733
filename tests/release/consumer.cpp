// A client program built only from the release ZIP's client folder: proves
// that the headers are complete and the libraries link without the sources.
#include "vxClient_win.h"

int main() {
    vx::TDebugClient client;
    if (!client.FindViewer(100)) return 0; // no viewer running: nothing to send
    vx::TPacketFields fields;
    fields.ClientID = "ReleaseCheck";
    fields.Text = "C:\\Release\\Check.exe|Release check";
    client.Send(vx::dkConnect, fields);
    fields.Text = "Hello from the release";
    client.Send(vx::dkString, fields);
    client.Send(vx::dkDisconnect, fields);
    return 0;
}
