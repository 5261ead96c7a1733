#include "SessionWriter.h"

#include <zlib.h>

#include <cstring>
#include <new>

namespace vx {

using namespace sessionfile;

TDebugRowView RowView(const TDebugInfoRec& rec) {
    TDebugRowView v;
    v.Group = rec.Group;
    v.Kind = rec.Kind;
    v.Text = rec.Text;
    v.Time = rec.Time;
    v.UnitName = rec.UnitName;
    v.ProcName = rec.ProcName;
    v.LineNumber = rec.LineNumber;
    v.DataSize = rec.Data ? rec.DataSize : 0;
    v.Data = rec.Data.get();
    return v;
}

// One deflate stream, reset for each block so every block reads on its own.
struct TSessionWriter::TDeflater {
    z_stream z{};
    bool ok = false;
    TDeflater() {
        // Level 1: the log is written on the viewer's thread, so speed counts
        // more than the last few per cent of size.
        ok = deflateInit2(&z, 1, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY) == Z_OK;
    }
    ~TDeflater() {
        if (ok) deflateEnd(&z);
    }
};

TSessionWriter::TSessionWriter() = default;

TSessionWriter::~TSessionWriter() {
    if (Ready()) Flush(false);
}

bool TSessionWriter::Fail(const std::string& what, const std::string& why) {
    if (error_.empty()) error_ = what + " the session log \"" + path_ + "\": " + why;
    file_.Close();
    std::vector<uint8_t>().swap(block_);
    std::vector<uint8_t>().swap(frame_);
    pendingRecords_ = 0;
    return false;
}

bool TSessionWriter::Create(const std::string& path, TDateTime created) {
    if (Ready()) Close();
    path_ = path;
    error_.clear();
    records_ = written_ = 0;
    try {
        if (!deflater_) deflater_ = std::make_unique<TDeflater>();
        if (!deflater_->ok) return Fail("Cannot write", "the compressor cannot start");
        block_.reserve(kBlockTarget + 4096);
    } catch (const std::bad_alloc&) {
        return Fail("Cannot write", "out of memory");
    }
    if (!file_.CreateNew(path)) return Fail("Cannot create", file_.Error());
    uint8_t h[kHeaderSize] = {};
    std::memcpy(h, kMagic, 8);
    PutU16(h + 8, kVersion);
    PutU16(h + 10, uint16_t(kHeaderSize));
    std::memcpy(h + 16, &created, 8);
    PutU32(h + 28, Crc32(h, 28));
    if (!file_.Write(h, sizeof h)) return Fail("Cannot write", file_.Error());
    written_ = sizeof h;
    unsynced_ = true;
    return true;
}

bool TSessionWriter::Added() {
    ++pendingRecords_;
    ++records_;
    if (block_.size() >= kBlockTarget) return WriteBlock();
    return true;
}

// Encodes into the pending block; a failed allocation leaves the block as it was.
template <class F> bool TSessionWriter::Encode(F&& encode) {
    if (!Ready()) return false;
    size_t mark = block_.size();
    try {
        TRecordEncoder e(block_);
        encode(e);
    } catch (const std::bad_alloc&) {
        block_.resize(mark);
        return Fail("Cannot write", "out of memory");
    }
    return Added();
}

bool TSessionWriter::Identity(std::string_view id, std::string_view app, std::string_view cap) {
    return Encode([&](TRecordEncoder& e) { e.Identity(id, app, cap); });
}
bool TSessionWriter::Level(std::string_view text) {
    return Encode([&](TRecordEncoder& e) { e.Level(text); });
}
bool TSessionWriter::AppendRow(const TDebugRowView& row) {
    return Encode([&](TRecordEncoder& e) { e.Row(row); });
}
bool TSessionWriter::InsertRow(size_t index, const TDebugRowView& row) {
    return Encode([&](TRecordEncoder& e) { e.InsertRow(uint32_t(index), row); });
}
bool TSessionWriter::EditRow(size_t index, std::string_view text) {
    return Encode([&](TRecordEncoder& e) { e.EditRow(uint32_t(index), text); });
}
bool TSessionWriter::DeleteRow(size_t index) {
    return Encode([&](TRecordEncoder& e) { e.DeleteRow(uint32_t(index)); });
}
bool TSessionWriter::ClearRows() {
    return Encode([&](TRecordEncoder& e) { e.ClearRows(); });
}
bool TSessionWriter::Message(std::string_view line) {
    return Encode([&](TRecordEncoder& e) { e.Message(line); });
}
bool TSessionWriter::Billboard(const std::vector<std::string>& lines) {
    return Encode([&](TRecordEncoder& e) { e.Billboard(lines); });
}
bool TSessionWriter::InfoLine(int index, std::string_view caption, std::string_view value) {
    return Encode([&](TRecordEncoder& e) { e.InfoLine(uint32_t(index), caption, value); });
}
bool TSessionWriter::ClearInfoPad() {
    return Encode([&](TRecordEncoder& e) { e.ClearInfoPad(); });
}

bool TSessionWriter::WriteBlock() {
    if (block_.empty()) return true;
    z_stream& z = deflater_->z;
    try {
        frame_.resize(kFrameHeaderSize + deflateBound(&z, uLong(block_.size())));
    } catch (const std::bad_alloc&) {
        return Fail("Cannot write", "out of memory");
    }
    deflateReset(&z);
    z.next_in = block_.data();
    z.avail_in = uInt(block_.size());
    z.next_out = frame_.data() + kFrameHeaderSize;
    z.avail_out = uInt(frame_.size() - kFrameHeaderSize);
    if (deflate(&z, Z_FINISH) != Z_STREAM_END) return Fail("Cannot write", "the compressor failed");
    size_t stored = size_t(z.total_out);
    uint8_t method = kDeflated;
    if (stored >= block_.size()) { // incompressible: keep it as it is
        std::memcpy(frame_.data() + kFrameHeaderSize, block_.data(), block_.size());
        stored = block_.size();
        method = kStored;
    }
    uint8_t* h = frame_.data();
    std::memcpy(h, kFrameMagic, 4);
    h[4] = method;
    h[5] = h[6] = h[7] = 0;
    PutU32(h + 8, uint32_t(stored));
    PutU32(h + 12, uint32_t(block_.size()));
    PutU32(h + 16, uint32_t(pendingRecords_));
    PutU32(h + 20, Crc32(h, 20));
    if (!file_.Write(frame_.data(), kFrameHeaderSize + stored))
        return Fail("Cannot write", file_.Error());
    written_ += kFrameHeaderSize + stored;
    block_.clear();
    pendingRecords_ = 0;
    unsynced_ = true;
    return true;
}

bool TSessionWriter::Flush(bool sync) {
    if (!Ready()) return false;
    if (!WriteBlock()) return false;
    if (sync && unsynced_) {
        if (!file_.Sync()) return Fail("Cannot write", file_.Error());
        unsynced_ = false;
    }
    return true;
}

bool TSessionWriter::Close() {
    if (!Ready()) return !Failed();
    bool ok = Flush(true);
    file_.Close();
    return ok;
}

} // namespace vx
