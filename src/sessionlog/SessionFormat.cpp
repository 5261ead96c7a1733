#include "SessionFormat.h"

#include <zlib.h>

#include <cstring>

namespace vx {

using namespace sessionfile;

const char* RecordTypeName(uint8_t type) {
    switch (type) {
    case srIdentity:
        return "identity";
    case srLevel:
        return "level";
    case srRow:
        return "row";
    case srInsertRow:
        return "insert";
    case srEditRow:
        return "edit";
    case srDeleteRow:
        return "delete";
    case srClearRows:
        return "clear";
    case srMessage:
        return "message";
    case srBillboard:
        return "billboard";
    case srInfoLine:
        return "info";
    case srClearInfoPad:
        return "clearinfo";
    default:
        return "unknown";
    }
}

uint32_t Crc32(const void* data, size_t size) {
    uLong crc = crc32(0L, Z_NULL, 0);
    auto p = static_cast<const Bytef*>(data);
    while (size > 0) { // crc32 takes a 32-bit length
        uInt n = size > (1u << 30) ? (1u << 30) : uInt(size);
        crc = crc32(crc, p, n);
        p += n;
        size -= n;
    }
    return uint32_t(crc);
}

void PutU16(uint8_t* p, uint16_t v) {
    std::memcpy(p, &v, 2);
}
void PutU32(uint8_t* p, uint32_t v) {
    std::memcpy(p, &v, 4);
}
uint16_t GetU16(const uint8_t* p) {
    uint16_t v;
    std::memcpy(&v, p, 2);
    return v;
}
uint32_t GetU32(const uint8_t* p) {
    uint32_t v;
    std::memcpy(&v, p, 4);
    return v;
}

// --- Encoding ---

void TRecordEncoder::Begin(uint8_t type) {
    start_ = out_.size();
    out_.resize(start_ + 4);
    out_.push_back(type);
}

void TRecordEncoder::End() {
    size_t payload = out_.size() - start_ - 4;
    PutU32(out_.data() + start_, uint32_t(payload));
    uint32_t crc = Crc32(out_.data() + start_ + 4, payload);
    Bytes(&crc, 4);
}

void TRecordEncoder::Bytes(const void* p, size_t n) {
    auto b = static_cast<const uint8_t*>(p);
    out_.insert(out_.end(), b, b + n);
}

void TRecordEncoder::Varint(uint64_t v) {
    while (v >= 0x80) {
        out_.push_back(uint8_t(v) | 0x80);
        v >>= 7;
    }
    out_.push_back(uint8_t(v));
}

void TRecordEncoder::String(std::string_view s) {
    s = s.substr(0, kMaxString);
    Varint(s.size());
    Bytes(s.data(), s.size());
}

void TRecordEncoder::Simple(uint8_t type, std::string_view text) {
    Begin(type);
    if (type == srLevel || type == srMessage) String(text);
    End();
}

void TRecordEncoder::Identity(std::string_view clientID, std::string_view application,
                              std::string_view caption) {
    Begin(srIdentity);
    String(clientID);
    String(application);
    String(caption);
    End();
}

void TRecordEncoder::RowRecord(uint8_t type, uint32_t index, const TDebugRowView& row) {
    Begin(type);
    if (type == srInsertRow) Varint(index);
    out_.push_back(row.Group);
    out_.push_back(row.Kind);
    Bytes(&row.Time, 8);
    // Zigzag, so a negative line number stays short.
    uint32_t line = uint32_t(row.LineNumber);
    Varint((line << 1) ^ uint32_t(row.LineNumber >> 31));
    String(row.Text);
    String(row.UnitName);
    String(row.ProcName);
    size_t data = row.Data && row.DataSize > 0 ? size_t(row.DataSize) : 0;
    if (data > kMaxData) data = kMaxData;
    Varint(data);
    Bytes(row.Data, data);
    End();
}

void TRecordEncoder::EditRow(uint32_t index, std::string_view text) {
    Begin(srEditRow);
    Varint(index);
    String(text);
    End();
}

void TRecordEncoder::DeleteRow(uint32_t index) {
    Begin(srDeleteRow);
    Varint(index);
    End();
}

void TRecordEncoder::InfoLine(uint32_t index, std::string_view caption, std::string_view value) {
    Begin(srInfoLine);
    Varint(index);
    String(caption);
    String(value);
    End();
}

// --- Decoding ---

namespace {

// A sticky-error reader: a read past the end or over a bound sets the flag and
// yields nothing; the caller checks once.
class TPayloadReader {
  public:
    TPayloadReader(const uint8_t* p, size_t n) : p_(p), end_(p + n) {}
    bool Ok() const { return ok_; }
    bool AtEnd() const { return p_ == end_; }

    uint8_t U8() {
        if (!Need(1)) return 0;
        return *p_++;
    }
    double F64() {
        double v = 0;
        if (Need(8)) {
            std::memcpy(&v, p_, 8);
            p_ += 8;
        }
        return v;
    }
    uint32_t Varint32() {
        uint64_t v = 0;
        for (int shift = 0; shift < 35; shift += 7) {
            if (!Need(1)) return 0;
            uint8_t b = *p_++;
            v |= uint64_t(b & 0x7F) << shift;
            if (!(b & 0x80)) {
                if (v > UINT32_MAX) break;
                return uint32_t(v);
            }
        }
        ok_ = false;
        return 0;
    }
    std::string_view Bytes(size_t bound) {
        uint32_t n = Varint32();
        if (n > bound) ok_ = false;
        if (!ok_ || !Need(n)) return {};
        std::string_view s(reinterpret_cast<const char*>(p_), n);
        p_ += n;
        return s;
    }
    size_t Left() const { return size_t(end_ - p_); }

  private:
    bool Need(size_t n) {
        if (ok_ && size_t(end_ - p_) >= n) return true;
        ok_ = false;
        return false;
    }
    const uint8_t* p_;
    const uint8_t* end_;
    bool ok_ = true;
};

void ReadRow(TPayloadReader& in, TDebugRowView& row) {
    row.Group = in.U8();
    row.Kind = in.U8();
    row.Time = in.F64();
    uint32_t z = in.Varint32();
    row.LineNumber = int32_t((z >> 1) ^ (0u - (z & 1)));
    row.Text = in.Bytes(kMaxString);
    row.UnitName = in.Bytes(kMaxString);
    row.ProcName = in.Bytes(kMaxString);
    std::string_view data = in.Bytes(kMaxData);
    row.DataSize = int32_t(data.size());
    row.Data = data.empty() ? nullptr : reinterpret_cast<const uint8_t*>(data.data());
}

} // namespace

bool DecodeRecord(const uint8_t* payload, size_t size, TSessionRecord& out) {
    TPayloadReader in(payload, size);
    out.Type = in.U8();
    out.Index = 0;
    out.Row = {};
    out.ClientID = out.ApplicationName = out.Caption = out.Text = {};
    out.Lines.clear();
    switch (out.Type) {
    case srIdentity:
        out.ClientID = in.Bytes(kMaxString);
        out.ApplicationName = in.Bytes(kMaxString);
        out.Caption = in.Bytes(kMaxString);
        break;
    case srLevel:
    case srMessage:
        out.Text = in.Bytes(kMaxString);
        break;
    case srInsertRow:
        out.Index = in.Varint32();
        [[fallthrough]];
    case srRow:
        ReadRow(in, out.Row);
        break;
    case srEditRow:
        out.Index = in.Varint32();
        out.Text = in.Bytes(kMaxString);
        break;
    case srDeleteRow:
        out.Index = in.Varint32();
        break;
    case srBillboard: {
        uint32_t n = in.Varint32();
        // Each line takes at least its length byte: a count beyond that is a lie.
        if (n > kMaxLines || n > in.Left()) return false;
        out.Lines.reserve(n);
        for (uint32_t i = 0; i < n && in.Ok(); ++i)
            out.Lines.push_back(in.Bytes(kMaxString));
        break;
    }
    case srInfoLine:
        out.Index = in.Varint32();
        out.Caption = in.Bytes(kMaxString);
        out.Text = in.Bytes(kMaxString);
        break;
    case srClearRows:
    case srClearInfoPad:
        break;
    default:
        return in.Ok(); // a later version's record: framed and checked, so skippable
    }
    return in.Ok() && in.AtEnd();
}

} // namespace vx
