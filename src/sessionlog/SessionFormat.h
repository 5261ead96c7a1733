// The session file: a section's whole history on disk, lossless, written as
// it happens and readable up to the first damage.
//
// Layout (integers little-endian):
//   file header, 32 bytes: "VXSESS\r\n", u16 version, u16 header size,
//     u32 flags, f64 creation time, u32 reserved, u32 CRC-32 of bytes 0..27
//   frames, one after the other, each one block of records:
//     u8[4] "VXBK", u8 method (0 stored, 1 raw deflate), u8[3] zero,
//     u32 stored size, u32 raw size, u32 record count,
//     u32 CRC-32 of the 20 bytes before it; then the stored bytes.
//   A block's raw bytes are its records, each: u32 length n, n bytes of
//   payload (u8 type, then its fields), u32 CRC-32 of the payload. Counts
//   and string lengths in a payload are LEB128 varints.
//
// Each record carries its own checksum, so a reader keeps every record of a
// torn or damaged block up to the damage, and stops there.
#pragma once

#include "sections/DebugRowSource.h"

#include <bit>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vx {

static_assert(std::endian::native == std::endian::little, "the file is written as memory holds it");

namespace sessionfile {
inline constexpr char kMagic[8] = {'V', 'X', 'S', 'E', 'S', 'S', '\r', '\n'};
inline constexpr char kFrameMagic[4] = {'V', 'X', 'B', 'K'};
inline constexpr uint16_t kVersion = 1;
inline constexpr size_t kHeaderSize = 32;
inline constexpr size_t kFrameHeaderSize = 24;
inline constexpr uint8_t kStored = 0, kDeflated = 1;

// A block is written once its records reach this many bytes.
inline constexpr size_t kBlockTarget = 64 * 1024;
// Bounds a reader holds every file to, whatever its lengths say.
inline constexpr size_t kMaxString = 64 * 1024;
inline constexpr size_t kMaxData = 64 * 1024 * 1024; // attached bytes of one row
inline constexpr size_t kMaxLines = 1000000;         // billboard lines in one record
inline constexpr size_t kMaxRecord = kMaxData + 4 * kMaxString + 64;
inline constexpr size_t kMaxBlockRaw = kMaxRecord + kBlockTarget + 16;
inline constexpr size_t kMaxBlockStored = kMaxBlockRaw + kMaxBlockRaw / 8 + 1024;
} // namespace sessionfile

enum TSessionRecordType : uint8_t {
    srIdentity = 1,     // ClientID, ApplicationName, Caption
    srLevel = 2,        // Text: the level's text
    srRow = 3,          // Row: appended after the last row
    srInsertRow = 4,    // Index, Row: inserted before row Index
    srEditRow = 5,      // Index, Text: the row's new text
    srDeleteRow = 6,    // Index
    srClearRows = 7,    //
    srMessage = 8,      // Text: one billboard line, appended as it stands
    srBillboard = 9,    // Lines: every billboard line, replacing the old ones
    srInfoLine = 10,    // Index 1..3, Caption, Text: the value
    srClearInfoPad = 11 //
};

const char* RecordTypeName(uint8_t type);

// One decoded record; its views point into the reader's buffer and stay valid
// only while the reader's callback runs.
struct TSessionRecord {
    uint8_t Type = 0;
    uint32_t Index = 0;
    TDebugRowView Row;
    std::string_view ClientID, ApplicationName, Caption;
    std::string_view Text;
    std::vector<std::string_view> Lines;
};

// Appends one framed record (length, payload, checksum) to out.
class TRecordEncoder {
  public:
    explicit TRecordEncoder(std::vector<uint8_t>& out) : out_(out) {}
    void Identity(std::string_view clientID, std::string_view application,
                  std::string_view caption);
    void Level(std::string_view text) { Simple(srLevel, text); }
    void Row(const TDebugRowView& row) { RowRecord(srRow, 0, row); }
    void InsertRow(uint32_t index, const TDebugRowView& row) { RowRecord(srInsertRow, index, row); }
    void EditRow(uint32_t index, std::string_view text);
    void DeleteRow(uint32_t index);
    void ClearRows() { Simple(srClearRows, {}); }
    void Message(std::string_view line) { Simple(srMessage, line); }
    template <class Lines> void Billboard(const Lines& lines) {
        // As many lines as fit one record; a billboard is never that long.
        size_t n = 0, bytes = 0;
        for (const auto& l : lines) {
            bytes += std::string_view(l).substr(0, sessionfile::kMaxString).size() + 5;
            if (bytes > sessionfile::kMaxData || n == sessionfile::kMaxLines) break;
            ++n;
        }
        Begin(srBillboard);
        Varint(n);
        for (size_t i = 0; i < n; ++i)
            String(lines[i]);
        End();
    }
    void InfoLine(uint32_t index, std::string_view caption, std::string_view value);
    void ClearInfoPad() { Simple(srClearInfoPad, {}); }

  private:
    void Simple(uint8_t type, std::string_view text);
    void RowRecord(uint8_t type, uint32_t index, const TDebugRowView& row);
    void Begin(uint8_t type);
    void End();
    void Varint(uint64_t v);
    void String(std::string_view s);
    void Bytes(const void* p, size_t n);

    std::vector<uint8_t>& out_;
    size_t start_ = 0;
};

// Decodes one record payload (without its length and checksum). False when
// any field runs past the end, breaks a bound or leaves bytes over.
bool DecodeRecord(const uint8_t* payload, size_t size, TSessionRecord& out);

uint32_t Crc32(const void* data, size_t size);
void PutU16(uint8_t* p, uint16_t v);
void PutU32(uint8_t* p, uint32_t v);
uint16_t GetU16(const uint8_t* p);
uint32_t GetU32(const uint8_t* p);

} // namespace vx
