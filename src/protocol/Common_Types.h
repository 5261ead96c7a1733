// The client record: its kinds, groups and levels, the wire layout of
// TDebugPacket and the decoded TDebugInfoRec.
#pragma once

#include "platform/Platform.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace vx {

// Message kinds: the low byte of the WM_COPYDATA wParam.
enum TDebugKind : uint8_t {
    dkDisconnect = 2,
    dkConnect = 8,
    dkSetLevel = 9,
    dkClearMessages = 10,
    dkClearDebugInfos = 11,
    dkAddMessage = 12,
    dkSetInfoLine = 13,
    dkString = 14,
    dkNote = 15,
    dkProcEnter = 16,
    dkProcExit = 17,
    dkSeparator = 18,
    dkException = 19,
    dkPoint = 20,
    dkColor = 21,
    dkCursor = 22,
    dkRect = 23,
    dkCheckpoint = 24,
    dkReminder = 25,
    dkMemoryDump = 26,
    dkComponent = 27,
    dkStringlist = 28,
    dkSystemInfo = 29,
    dkObject = 30,
    dkProperty = 31,
    dkUnknown = 32,
    dkShowViewer = 33,
};

inline constexpr uint8_t kFirstRowKind = dkString;
inline constexpr uint8_t kLastRowKind = dkUnknown;
inline constexpr bool IsRowKind(uint8_t kind) {
    return kind >= kFirstRowKind && kind <= kLastRowKind;
}

enum TDebugGroup : uint8_t { dgGeneral = 0, dgInformation = 1, dgWarning = 2, dgError = 3 };
enum TDebugLevel : uint8_t { dlLow = 0, dlMedium = 1, dlHigh = 2 };

// Handshake and notification codes of the two registered messages.
enum TDebugNotice : uint8_t { hsHello = 1, vnAnswer = 5, vnClosing = 6, vnShown = 7 };

inline constexpr const char* kClient2Debugger = "vxClient2Debugger";
inline constexpr const char* kDebugger2Client = "vxDebugger2Client";

// Text name of a kind or notice code: the top bit is cleared, 0..31 have
// their own names and 32..127 are "Unknown".
const char* KindName(uint8_t code);
// "Low", "Medium", "High"; another level has an empty name.
const char* LevelName(uint8_t level);
// Icon of a row kind in the section's image list, or -1 for none.
int KindImageIndex(uint8_t kind);

// Wire layout of TDebugPacket.
namespace packet {
inline constexpr size_t ClientID = 0, ClientIDCapacity = 50;
inline constexpr size_t Group = 51;
inline constexpr size_t Text = 52;
inline constexpr size_t InfoLine = 308;
inline constexpr size_t Level = 312;
inline constexpr size_t Time = 320;
inline constexpr size_t ProcName = 328;
inline constexpr size_t UnitName = 584;
inline constexpr size_t LineNumber = 844;
inline constexpr size_t DataSize = 848;
inline constexpr size_t FixedSize = 852;
inline constexpr size_t StringCapacity = 255;
} // namespace packet

// The decoded record of one client message.
struct TDebugInfoRec {
    uint8_t Group = 0;
    uint8_t Kind = 0;
    std::string Text;
    int32_t InfoLine = 0;
    uint8_t Level = 0;
    TDateTime Time = 0;
    std::string UnitName;
    std::string ProcName;
    int32_t LineNumber = 0;
    int32_t DataSize = 0;            // bytes in Data; 0 when there is none
    std::unique_ptr<uint8_t[]> Data; // owned heap copy of the attached bytes
};

struct TDecodedPacket {
    std::string ClientID;
    TDebugInfoRec Rec;
    bool DataCut = false; // the client announced more data than it delivered
};

// Decodes one WM_COPYDATA block of `size` delivered bytes. A null block or one
// shorter than the fixed part gives nothing. Attached data is copied only when
// DataSize > 0 and is cut to what was delivered.
std::optional<TDecodedPacket> DecodePacket(uint32_t wParam, const void* data, size_t size);
// The same into `into`, whose strings keep their buffers from one record to
// the next (a flood decodes without allocating). False, for a block that is
// null or too short, leaves it unchanged.
bool DecodePacket(TDecodedPacket& into, uint32_t wParam, const void* data, size_t size);

// Builds the wire bytes of a record (what a client sends); strings longer than
// their capacity are cut.
struct TPacketFields {
    std::string ClientID;
    uint8_t Group = 0;
    std::string Text;
    int32_t InfoLine = 0;
    uint8_t Level = 0;
    TDateTime Time = 0;
    std::string ProcName;
    std::string UnitName;
    int32_t LineNumber = 0;
    std::string Data;
};
std::string EncodePacket(const TPacketFields& fields);

} // namespace vx
