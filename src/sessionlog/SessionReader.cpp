#include "SessionReader.h"

#include <zlib.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>
#include <stdexcept>
#include <vector>

namespace vx {

using namespace sessionfile;

namespace {

struct TFileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};

struct TInflater {
    z_stream z{};
    bool ok = false;
    TInflater() { ok = inflateInit2(&z, -15) == Z_OK; }
    ~TInflater() {
        if (ok) inflateEnd(&z);
    }
};

// Deflate expands at most about 1032 to 1, so no honest block needs more room.
size_t RawRoom(size_t stored, size_t raw) {
    return std::min(raw, stored * 1032 + 64);
}

class TReader {
  public:
    TReader(std::FILE* f, uint64_t size, const TRecordSink& sink, const TReadProgress& progress,
            TSessionScan& scan)
        : f_(f), size_(size), sink_(sink), progress_(progress), scan_(scan) {}

    void Run();

  private:
    bool Stop(const std::string& why) {
        scan_.StopOffset = offset_;
        scan_.Error = why;
        return false;
    }
    bool Header();
    // Reads one frame; false when reading ends (at the end or at damage).
    bool Frame();
    // Delivers the good records of raw[0, size); returns how many.
    size_t Records(size_t size, std::string& why, size_t& used);
    size_t Read(void* p, size_t n) { return std::fread(p, 1, n, f_); }

    std::FILE* f_;
    uint64_t size_; // of the file, so no length can make us allocate more than it holds
    const TRecordSink& sink_;
    const TReadProgress& progress_;
    TSessionScan& scan_;
    uint64_t offset_ = 0; // start of the frame being read
    std::vector<uint8_t> stored_, raw_;
    TInflater inflater_;
    TSessionRecord record_;
};

void TReader::Run() {
    if (!Header()) return;
    if (!inflater_.ok) {
        Stop("the decompressor cannot start");
        return;
    }
    try {
        while (Frame())
            if (progress_) progress_(offset_, size_);
    } catch (const std::bad_alloc&) {
        Stop("out of memory");
    } catch (const std::exception& e) { // the records' receiver could keep no more
        Stop(e.what());
    }
}

bool TReader::Header() {
    uint8_t h[kHeaderSize];
    size_t n = Read(h, sizeof h);
    if (n < 8 || std::memcmp(h, kMagic, 8) != 0) return Stop("not a session file");
    if (n < kHeaderSize) return Stop("the file ends inside its header");
    if (GetU32(h + 28) != Crc32(h, 28)) return Stop("the file header is damaged");
    if (GetU16(h + 8) != kVersion)
        return Stop("the file has version " + std::to_string(GetU16(h + 8)) +
                    ", this program reads version " + std::to_string(kVersion));
    if (GetU16(h + 10) != kHeaderSize) return Stop("the file header is damaged");
    std::memcpy(&scan_.Created, h + 16, 8);
    offset_ = kHeaderSize;
    return true;
}

bool TReader::Frame() {
    uint8_t h[kFrameHeaderSize];
    size_t got = Read(h, sizeof h);
    if (got == 0) {
        scan_.Whole = true;
        scan_.StopOffset = offset_;
        return false;
    }
    if (got < sizeof h) return Stop("the file ends inside a block header");
    if (std::memcmp(h, kFrameMagic, 4) != 0 || GetU32(h + 20) != Crc32(h, 20))
        return Stop("a block header is damaged");
    const uint8_t method = h[4];
    const size_t stored = GetU32(h + 8), raw = GetU32(h + 12), count = GetU32(h + 16);
    // The header's checksum holds, so these are what a writer wrote or a forgery.
    if ((method != kStored && method != kDeflated) || raw > kMaxBlockRaw ||
        stored > kMaxBlockStored || (method == kStored && stored != raw) || count > raw / 9)
        return Stop("a block header gives impossible sizes");

    uint64_t left = size_ - std::min<uint64_t>(size_, offset_ + kFrameHeaderSize);
    stored_.resize(size_t(std::min<uint64_t>(stored, left)));
    size_t have = Read(stored_.data(), stored_.size());
    bool complete = have == stored;

    size_t rawHave = 0;
    bool streamOk = true;
    if (method == kStored) {
        raw_.swap(stored_);
        rawHave = have;
    } else {
        raw_.resize(RawRoom(stored, raw));
        z_stream& z = inflater_.z;
        inflateReset(&z);
        z.next_in = stored_.data();
        z.avail_in = uInt(have);
        z.next_out = raw_.data();
        z.avail_out = uInt(raw_.size());
        int rc = inflate(&z, Z_FINISH);
        rawHave = size_t(z.total_out);
        streamOk = rc == Z_STREAM_END && z.total_in == stored;
    }

    std::string why;
    size_t used = 0;
    size_t n = Records(rawHave, why, used);
    if (method == kStored) raw_.swap(stored_);
    if (!complete)
        return Stop("the file ends inside a block (" + std::to_string(n) + " of its " +
                    std::to_string(count) + " records kept)");
    if (!why.empty() || !streamOk || rawHave != raw || used != raw || n != count)
        return Stop("a block is damaged (" + std::to_string(n) + " of its " +
                    std::to_string(count) + " records kept" + (why.empty() ? "" : ": " + why) +
                    ")");
    offset_ += kFrameHeaderSize + stored;
    return true;
}

size_t TReader::Records(size_t size, std::string& why, size_t& used) {
    size_t pos = 0, n = 0;
    const uint8_t* p = raw_.data();
    while (pos < size) {
        if (size - pos < 4) break;
        size_t len = GetU32(p + pos);
        if (len == 0 || len > kMaxRecord) {
            why = "a record has an impossible length";
            break;
        }
        if (size - pos - 4 < len + 4) break; // cut off
        const uint8_t* payload = p + pos + 4;
        if (GetU32(payload + len) != Crc32(payload, len)) {
            why = "a record fails its checksum";
            break;
        }
        if (!DecodeRecord(payload, len, record_)) {
            why = "a record's fields do not add up";
            break;
        }
        sink_(record_);
        ++n;
        ++scan_.Records;
        pos += len + 8;
    }
    used = pos;
    return n;
}

} // namespace

TSessionScan ReadSession(const std::string& path, const TRecordSink& onRecord,
                         const TReadProgress& progress) {
    TSessionScan scan;
    std::unique_ptr<std::FILE, TFileCloser> f(std::fopen(path.c_str(), "rb"));
    if (!f) {
        scan.Error = std::string("cannot open the file: ") + std::strerror(errno);
        return scan;
    }
    scan.Opened = true;
    uint64_t size = 0;
#if defined(_WIN32)
    if (_fseeki64(f.get(), 0, SEEK_END) == 0) size = uint64_t(_ftelli64(f.get()));
    _fseeki64(f.get(), 0, SEEK_SET);
#else
    if (fseeko(f.get(), 0, SEEK_END) == 0) size = uint64_t(ftello(f.get()));
    fseeko(f.get(), 0, SEEK_SET);
#endif
    std::setvbuf(f.get(), nullptr, _IOFBF, 256 * 1024);
    TReader(f.get(), size, onRecord, progress, scan).Run();
    return scan;
}

} // namespace vx
