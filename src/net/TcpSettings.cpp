#include "net/TcpSettings.h"

#include "settings/RegistryHandler.h"

namespace vx::net {

namespace {
constexpr const char* kSection = "Display";
}

TTcpSettings LoadTcpSettings(TRegistryHandler& registry) {
    TTcpSettings s;
    s.Listen = registry.RegReadBool(kSection, "TcpListen", false);
    s.Address = registry.RegReadString(kSection, "TcpAddress", kDefaultTcpAddress);
    s.Port = registry.RegReadInteger(kSection, "TcpPort", kDefaultTcpPort);
    s.Key = registry.RegReadString(kSection, "TcpKey", "");
    return s;
}

void SaveTcpSettings(TRegistryHandler& registry, const TTcpSettings& s) {
    registry.RegWriteBool(kSection, "TcpListen", s.Listen);
    registry.RegWriteString(kSection, "TcpAddress", s.Address);
    registry.RegWriteInteger(kSection, "TcpPort", s.Port);
    registry.RegWriteString(kSection, "TcpKey", s.Key);
}

bool ParseIPv4(const std::string& text, uint8_t (&bytes)[4]) {
    size_t i = 0;
    for (int part = 0; part < 4; ++part) {
        if (part > 0) {
            if (i >= text.size() || text[i] != '.') return false;
            ++i;
        }
        unsigned value = 0;
        size_t digits = 0;
        while (i < text.size() && text[i] >= '0' && text[i] <= '9' && digits < 4) {
            value = value * 10 + unsigned(text[i] - '0');
            ++i;
            ++digits;
        }
        if (digits == 0 || digits > 3 || value > 255) return false;
        bytes[part] = uint8_t(value);
    }
    return i == text.size();
}

bool IsLoopback(const std::string& address) {
    uint8_t b[4];
    return ParseIPv4(address, b) && b[0] == 127;
}

std::string TcpSettingsProblem(const TTcpSettings& s) {
    if (!s.Listen) return {};
    uint8_t b[4];
    if (!ParseIPv4(s.Address, b))
        return "The address must be an IPv4 address such as 127.0.0.1 (0.0.0.0 for all).";
    if (s.Port < 1 || s.Port > 65535) return "The port must be a number from 1 to 65535.";
    if (s.Key.size() > kMaxKeyLength) return "The key may have at most 255 characters.";
    if (s.Key.empty() && b[0] != 127)
        return "A key is needed to listen on an address other than loopback (127.x.x.x).";
    return {};
}

} // namespace vx::net
