#include "Common_Types.h"

#include <algorithm>
#include <cstring>

namespace vx {

namespace {

const char* const kKindNames[32] = {
    "Unknown",
    "Start",
    "End",
    "Enable",
    "Disable",
    "Ready to start",
    "Debugger closed",
    "Debugger opened",
    "Info Package",
    "Change Debug Level",
    "Clear Messages",
    "Clear Debugger",
    "Message",
    "InfoPad",
    "String",
    "Note",
    "Proc Enter",
    "Proc Exit",
    "Separator",
    "Exception",
    "Point",
    "Color",
    "Cursor",
    "Rect",
    "Checkpoint",
    "Reminder",
    "Memory Dump",
    "Component",
    "Stringlist",
    "System Info",
    "Object",
    "Property",
};

// Icons of kinds 14..32; -1 for the separator.
const int kKindImages[] = {4, 5, 11, 21, -1, 9, 22, 24, 25, 23, 27, 26, 28, 29, 14, 7, 29, 30, 31};

int32_t ReadInt32(const uint8_t* p) {
    return int32_t(uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 |
                   uint32_t(p[3]) << 24);
}

// A string field is a length byte and `capacity` bytes. It is copied in whole
// 16-byte pieces into a string that keeps room for the longest one: a flood
// decodes millions of short texts, and a copy of unknown length costs several
// times as much. The pieces never reach past the fixed packet.
constexpr size_t kPiece = 16;
constexpr size_t kStringRoom = (packet::StringCapacity + kPiece - 1) / kPiece * kPiece;
static_assert(packet::ClientID + 1 + kStringRoom <= packet::FixedSize);
static_assert(packet::UnitName + 1 + kStringRoom <= packet::FixedSize);
static_assert(packet::Text < packet::ProcName && packet::ProcName < packet::UnitName);

void ReadString(std::string& into, const uint8_t* p, size_t capacity) {
    const size_t n = std::min<size_t>(p[0], capacity);
    if (into.capacity() < kStringRoom) into.reserve(kStringRoom);
    into.resize((n + kPiece - 1) / kPiece * kPiece);
    char* to = into.data();
    for (size_t i = 0; i < n; i += kPiece)
        std::memcpy(to + i, p + 1 + i, kPiece);
    into.resize(n);
}

void WriteString(std::string& out, size_t offset, const std::string& s, size_t capacity) {
    size_t n = std::min(s.size(), capacity);
    out[offset] = char(n);
    std::memcpy(&out[offset + 1], s.data(), n);
}

void WriteInt32(std::string& out, size_t offset, int32_t v) {
    for (int i = 0; i < 4; ++i)
        out[offset + i] = char(uint32_t(v) >> (8 * i));
}

} // namespace

const char* KindName(uint8_t code) {
    // The top bit is ignored; codes 32 to 127 have no name of their own.
    uint8_t k = code & 0x7F;
    return k < 32 ? kKindNames[k] : "Unknown";
}

const char* LevelName(uint8_t level) {
    switch (level) {
    case dlLow:
        return "Low";
    case dlMedium:
        return "Medium";
    case dlHigh:
        return "High";
    default:
        return "";
    }
}

int KindImageIndex(uint8_t kind) {
    return IsRowKind(kind) ? kKindImages[kind - kFirstRowKind] : -1;
}

std::optional<TDecodedPacket> DecodePacket(uint32_t wParam, const void* data, size_t size) {
    TDecodedPacket d;
    if (!DecodePacket(d, wParam, data, size)) return std::nullopt;
    return d;
}

bool DecodePacket(TDecodedPacket& d, uint32_t wParam, const void* data, size_t size) {
    if (!data || size < packet::FixedSize) return false;
    const auto* p = static_cast<const uint8_t*>(data);
    ReadString(d.ClientID, p + packet::ClientID, packet::ClientIDCapacity);
    TDebugInfoRec& r = d.Rec;
    r.Kind = uint8_t(wParam & 0xFF);
    r.Group = p[packet::Group];
    ReadString(r.Text, p + packet::Text, packet::StringCapacity);
    r.InfoLine = ReadInt32(p + packet::InfoLine);
    r.Level = p[packet::Level];
    std::memcpy(&r.Time, p + packet::Time, sizeof r.Time);
    ReadString(r.ProcName, p + packet::ProcName, packet::StringCapacity);
    ReadString(r.UnitName, p + packet::UnitName, packet::StringCapacity);
    r.LineNumber = ReadInt32(p + packet::LineNumber);
    r.DataSize = 0;
    r.Data.reset();
    d.DataCut = false;
    int32_t announced = ReadInt32(p + packet::DataSize);
    if (announced > 0) {
        size_t delivered = size - packet::FixedSize;
        size_t n = std::min<size_t>(size_t(announced), delivered);
        d.DataCut = n < size_t(announced);
        r.DataSize = int32_t(n);
        if (n > 0) {
            r.Data = std::make_unique<uint8_t[]>(n);
            std::memcpy(r.Data.get(), p + packet::FixedSize, n);
        }
    }
    return true;
}

std::string EncodePacket(const TPacketFields& f) {
    std::string out(packet::FixedSize, '\0');
    WriteString(out, packet::ClientID, f.ClientID, packet::ClientIDCapacity);
    out[packet::Group] = char(f.Group);
    WriteString(out, packet::Text, f.Text, packet::StringCapacity);
    WriteInt32(out, packet::InfoLine, f.InfoLine);
    out[packet::Level] = char(f.Level);
    std::memcpy(&out[packet::Time], &f.Time, sizeof f.Time);
    WriteString(out, packet::ProcName, f.ProcName, packet::StringCapacity);
    WriteString(out, packet::UnitName, f.UnitName, packet::StringCapacity);
    WriteInt32(out, packet::LineNumber, f.LineNumber);
    WriteInt32(out, packet::DataSize, int32_t(f.Data.size()));
    out += f.Data;
    return out;
}

} // namespace vx
