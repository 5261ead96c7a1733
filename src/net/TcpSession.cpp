#include "net/TcpSession.h"

#include "protocol/Common_Types.h"

#include <algorithm>
#include <cstdio>

namespace vx::net {

bool KeysEqual(std::string_view a, std::string_view b) {
    // Every byte of the longer key is looked at, whatever the other holds.
    const size_t n = a.size() > b.size() ? a.size() : b.size();
    unsigned diff = unsigned(a.size() ^ b.size());
    for (size_t i = 0; i < n; ++i) {
        const unsigned char x = i < a.size() ? static_cast<unsigned char>(a[i]) : 0;
        const unsigned char y = i < b.size() ? static_cast<unsigned char>(b[i]) : 0;
        diff |= unsigned(x ^ y);
    }
    return diff == 0;
}

std::string_view PacketText(std::string_view block) {
    if (block.size() <= packet::Text) return {};
    size_t length = static_cast<unsigned char>(block[packet::Text]);
    length = std::min(length, packet::StringCapacity);
    length = std::min(length, block.size() - packet::Text - 1);
    return block.substr(packet::Text + 1, length);
}

std::string NoticeFrame(uint32_t notice) {
    std::string frame(8, '\0');
    frame[0] = 4;
    for (int i = 0; i < 4; ++i)
        frame[4 + i] = char((notice >> (8 * i)) & 0xFF);
    return frame;
}

bool KnownRecordKind(uint32_t wParam) {
    const uint8_t kind = uint8_t(wParam & 0xFF);
    return kind == dkDisconnect || (kind >= dkConnect && kind <= dkShowViewer);
}

bool TTcpSession::Count(TRemoteTrouble trouble) {
    const size_t index = size_t(trouble);
    if (index >= counts_.Trouble.size()) return false;
    ++counts_.Trouble[index];
    const unsigned bit = 1u << index;
    const bool first = !(logged_ & bit);
    logged_ |= bit;
    return first;
}

TFrameVerdict TTcpSession::Trouble(TRemoteTrouble trouble, TFrameVerdict verdict, uint32_t wParam) {
    last_ = trouble;
    lastWParam_ = wParam;
    lastNew_ = Count(trouble);
    return verdict;
}

TFrameVerdict TTcpSession::OnFrame(const TFrame& frame) {
    lastNew_ = false;
    last_ = TRemoteTrouble::rtCount;
    const bool handshake = (frame.WParam & 0xFF) == hsHello;
    if (handshake) {
        if (!key_.empty() && !KeysEqual(PacketText(frame.Block), key_))
            return Trouble(TRemoteTrouble::rtWrongKey, TFrameVerdict::fvClose, frame.WParam);
        open_ = true;
        return TFrameVerdict::fvAnswer;
    }
    if (!open_) return Trouble(TRemoteTrouble::rtNoHandshake, TFrameVerdict::fvClose, frame.WParam);
    if (!KnownRecordKind(frame.WParam))
        return Trouble(TRemoteTrouble::rtUnknownKind, TFrameVerdict::fvDropped, frame.WParam);
    ++counts_.Records;
    return TFrameVerdict::fvDispatch;
}

std::string DescribeTrouble(TRemoteTrouble trouble, uint32_t wParam) {
    char buf[96];
    switch (trouble) {
    case TRemoteTrouble::rtNoHandshake:
        return "no handshake before the first record";
    case TRemoteTrouble::rtWrongKey:
        return "handshake with a wrong key";
    case TRemoteTrouble::rtUnknownKind:
        std::snprintf(buf, sizeof buf, "unknown message kind [%d]", int32_t(wParam));
        return buf;
    case TRemoteTrouble::rtMalformed:
        return "malformed frame";
    case TRemoteTrouble::rtFailed:
        return "a record could not be applied";
    case TRemoteTrouble::rtNotReading:
        return "the client does not read the viewer's answers";
    case TRemoteTrouble::rtCount:
        break;
    }
    return "trouble";
}

} // namespace vx::net
