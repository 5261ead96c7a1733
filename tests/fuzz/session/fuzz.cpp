// The session file reader. With the first byte even, the rest is the file as
// it stands. With it odd, the rest is taken as a file whose checksums and
// block sizes the harness makes right (and whose method-1 blocks it
// compresses), so that mutations reach the records behind the checksums.
// The scan must account for every record it delivers, every delivered record
// must encode back to the same record, and the replayed image must hold.
#include "FuzzSupport.h"
#include "sessionlog/SessionImage.h"

#include <zlib.h>

#include <cstring>
#include <vector>

using namespace vx;
using namespace vx::sessionfile;
using vxfuzz::Check;

namespace {

// Fixes the checksums of the records in raw[0, n) as far as they are framed.
void FixRecords(uint8_t* raw, size_t n) {
    size_t pos = 0;
    while (n - pos >= 8) {
        size_t len = GetU32(raw + pos);
        if (len == 0 || len > n - pos - 8) break;
        PutU32(raw + pos + 4 + len, Crc32(raw + pos + 4, len));
        pos += len + 8;
    }
}

size_t CountRecords(const uint8_t* raw, size_t n) {
    size_t pos = 0, count = 0;
    while (n - pos >= 8) {
        size_t len = GetU32(raw + pos);
        if (len == 0 || len > n - pos - 8) break;
        pos += len + 8;
        ++count;
    }
    return count;
}

std::vector<uint8_t> Repair(const uint8_t* data, size_t size) {
    std::vector<uint8_t> out(data, data + std::min(size, kHeaderSize));
    out.resize(kHeaderSize);
    if (size >= 8) PutU32(out.data() + 28, Crc32(out.data(), 28));
    size_t pos = std::min(size, kHeaderSize);
    while (size - pos >= kFrameHeaderSize) {
        uint8_t h[kFrameHeaderSize];
        std::memcpy(h, data + pos, sizeof h);
        pos += sizeof h;
        size_t raw = std::min<size_t>(GetU32(h + 12) & 0xFFFF, size - pos);
        std::vector<uint8_t> records(data + pos, data + pos + raw);
        pos += raw;
        FixRecords(records.data(), records.size());
        std::vector<uint8_t> stored = records;
        if (h[4] == kDeflated) {
            z_stream z{};
            Check(deflateInit2(&z, 6, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY) == Z_OK, "deflate");
            stored.resize(deflateBound(&z, uLong(records.size())));
            z.next_in = records.data();
            z.avail_in = uInt(records.size());
            z.next_out = stored.data();
            z.avail_out = uInt(stored.size());
            Check(deflate(&z, Z_FINISH) == Z_STREAM_END, "deflate");
            stored.resize(z.total_out);
            deflateEnd(&z);
        }
        // Bit 0 of the fifth byte keeps the fuzzed sizes and count, to reach
        // the checks behind a good header checksum.
        if (!(h[5] & 1)) {
            h[5] = 0;
            PutU32(h + 8, uint32_t(stored.size()));
            PutU32(h + 12, uint32_t(records.size()));
            PutU32(h + 16, uint32_t(CountRecords(records.data(), records.size())));
        }
        PutU32(h + 20, Crc32(h, 20));
        out.insert(out.end(), h, h + sizeof h);
        out.insert(out.end(), stored.begin(), stored.end());
    }
    out.insert(out.end(), data + pos, data + size);
    return out;
}

bool SameBits(double a, double b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

bool SameRow(const TDebugRowView& a, const TDebugRowView& b) {
    return a.Group == b.Group && a.Kind == b.Kind && SameBits(a.Time, b.Time) &&
           a.LineNumber == b.LineNumber && a.Text == b.Text && a.UnitName == b.UnitName &&
           a.ProcName == b.ProcName && a.DataSize == b.DataSize &&
           (a.DataSize == 0 || std::memcmp(a.Data, b.Data, size_t(a.DataSize)) == 0);
}

// Encodes the record again and decodes that: the same record must come back.
void RoundTrip(const TSessionRecord& r) {
    std::vector<uint8_t> bytes;
    TRecordEncoder e(bytes);
    switch (r.Type) {
    case srIdentity:
        e.Identity(r.ClientID, r.ApplicationName, r.Caption);
        break;
    case srLevel:
        e.Level(r.Text);
        break;
    case srRow:
        e.Row(r.Row);
        break;
    case srInsertRow:
        e.InsertRow(r.Index, r.Row);
        break;
    case srEditRow:
        e.EditRow(r.Index, r.Text);
        break;
    case srDeleteRow:
        e.DeleteRow(r.Index);
        break;
    case srClearRows:
        e.ClearRows();
        break;
    case srMessage:
        e.Message(r.Text);
        break;
    case srBillboard:
        e.Billboard(r.Lines);
        break;
    case srInfoLine:
        e.InfoLine(r.Index, r.Caption, r.Text);
        break;
    case srClearInfoPad:
        e.ClearInfoPad();
        break;
    default:
        return;
    }
    Check(bytes.size() >= 8, "an encoded record is framed");
    size_t len = GetU32(bytes.data());
    Check(len + 8 == bytes.size(), "an encoded record's length");
    Check(GetU32(bytes.data() + 4 + len) == Crc32(bytes.data() + 4, len),
          "an encoded record's checksum");
    TSessionRecord d;
    Check(DecodeRecord(bytes.data() + 4, len, d), "an encoded record decodes");
    Check(d.Type == r.Type && d.Index == r.Index && d.ClientID == r.ClientID &&
              d.ApplicationName == r.ApplicationName && d.Caption == r.Caption &&
              d.Text == r.Text && d.Lines == r.Lines && SameRow(d.Row, r.Row),
          "a record encodes back to itself");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    std::vector<uint8_t> file =
        (data[0] & 1) ? Repair(data + 1, size - 1) : std::vector<uint8_t>(data + 1, data + size);
    const std::string& path = vxfuzz::ScratchPath("vxfuzz-session");
    vxfuzz::WriteWhole(path, file.data(), file.size());

    TSessionImage image;
    uint64_t delivered = 0;
    TSessionScan scan = ReadSession(path, [&](const TSessionRecord& r) {
        ++delivered;
        RoundTrip(r);
        image.Apply(r);
    });
    Check(scan.Opened, "the scratch file opens");
    Check(scan.Records == delivered, "the scan counts the records it delivered");
    Check(scan.StopOffset <= file.size(), "the stop offset lies in the file");
    Check(scan.Whole == scan.Error.empty(), "a whole file has no error and a damaged one has one");
    if (scan.Whole) Check(scan.StopOffset == file.size(), "a whole file is read to its end");
    Check(image.Rows.Count() <= delivered, "no more rows than records");

    TSessionImage loaded;
    TSessionScan again = LoadSession(path, loaded);
    std::remove(path.c_str());
    Check(again.Records == scan.Records && again.StopOffset == scan.StopOffset,
          "loading reads what scanning reads");
    Check(loaded.Rows.Count() == image.Rows.Count() && loaded.ClientID == image.ClientID &&
              loaded.Billboard == image.Billboard,
          "loading replays what scanning delivers");
    return 0;
}
