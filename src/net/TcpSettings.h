// The "Remote clients" settings: whether the viewer takes records over TCP,
// on which IPv4 address and port, and the key a client's handshake must
// carry. They live under "Display" as TcpListen ("0"/"1"), TcpAddress,
// TcpPort and TcpKey.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace vx {

class TRegistryHandler;

namespace net {

inline constexpr const char* kDefaultTcpAddress = "127.0.0.1";
inline constexpr int kDefaultTcpPort = 5840;
inline constexpr size_t kMaxKeyLength = 255; // the capacity of the packet's text

struct TTcpSettings {
    bool Listen = false;
    std::string Address = kDefaultTcpAddress;
    int Port = kDefaultTcpPort;
    std::string Key;
    bool operator==(const TTcpSettings&) const = default;
};

TTcpSettings LoadTcpSettings(TRegistryHandler& registry);
void SaveTcpSettings(TRegistryHandler& registry, const TTcpSettings& settings);

// A dotted IPv4 address ("127.0.0.2", "0.0.0.0"), its four bytes in order;
// false for anything else.
bool ParseIPv4(const std::string& text, uint8_t (&bytes)[4]);
bool IsLoopback(const std::string& address);
// Why these settings cannot be used, or empty. Settings with Listen off are
// always acceptable. A key is needed to listen on any address but loopback.
std::string TcpSettingsProblem(const TTcpSettings& settings);

// The "Remote clients..." dialog. Run shows `settings`; on OK it calls
// `apply` with what the user entered, and closes only when that returns an
// empty text (else it shows the text and stays). True when applied.
struct IRemoteClientsDialog {
    virtual ~IRemoteClientsDialog() = default;
    using TApply = std::function<std::string(const TTcpSettings&)>;
    virtual bool Run(const TTcpSettings& settings, const TApply& apply) = 0;
};

} // namespace net
} // namespace vx
