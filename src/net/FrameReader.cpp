#include "net/FrameReader.h"

#include <algorithm>
#include <cstring>

namespace vx::net {

namespace {

uint32_t Le32(const char* p) {
    const auto* b = reinterpret_cast<const unsigned char*>(p);
    return uint32_t(b[0]) | uint32_t(b[1]) << 8 | uint32_t(b[2]) << 16 | uint32_t(b[3]) << 24;
}

} // namespace

const char* FrameErrorText(TFrameError error) {
    switch (error) {
    case TFrameError::feNone:
        return "no error";
    case TFrameError::feTooShort:
        return "frame shorter than a record";
    case TFrameError::feTooLong:
        return "frame longer than 1 MiB of data";
    case TFrameError::feStalled:
        return "partial frame stalled for 30 s";
    }
    return "unknown error";
}

uint32_t TFrameReader::WaitingLength() const {
    return Pending() >= 4 ? Le32(buf_.data() + pos_) : 0;
}

bool TFrameReader::Classify() {
    if (Pending() < 4) return true;
    const uint32_t length = WaitingLength();
    if (length < kMinFrameLength)
        error_ = TFrameError::feTooShort;
    else if (length > kMaxFrameLength)
        error_ = TFrameError::feTooLong;
    return !Failed();
}

void TFrameReader::Compact() {
    // An empty buffer grown for a larger target or a long frame goes.
    if (Pending() == 0 && buf_.capacity() > 2 * (readTarget_ + kMinFrameLength)) {
        std::vector<char>().swap(buf_);
        pos_ = end_ = 0;
        return;
    }
    if (pos_ == 0) return;
    if (pos_ < end_) std::memmove(buf_.data(), buf_.data() + pos_, end_ - pos_);
    end_ -= pos_;
    pos_ = 0;
}

size_t TFrameReader::Room() const {
    if (Failed()) return 0;
    // Room for the whole waiting frame (its length is bounded by now), or
    // for a read's worth of small frames.
    size_t target = readTarget_;
    if (uint32_t length = WaitingLength()) target = std::max(target, size_t(length) + 4);
    return Pending() >= target ? 0 : target - Pending();
}

void TFrameReader::SetReadTarget(size_t bytes) {
    readTarget_ = std::clamp(bytes, kLeastReadTarget, kReadTarget);
}

char* TFrameReader::Space(size_t want) {
    Compact();
    want = std::min(want, Room());
    if (buf_.size() < end_ + want) buf_.resize(end_ + want);
    return buf_.data() + end_;
}

void TFrameReader::Commit(size_t received, double now) {
    if (Failed() || received == 0) return;
    received = std::min(received, buf_.size() - end_);
    if (Pending() == 0) frameStart_ = now;
    end_ += received;
    lastFeed_ = now;
    Classify();
}

void TFrameReader::Feed(const void* data, size_t size, double now) {
    if (Failed() || size == 0) return;
    Compact();
    if (buf_.size() < end_ + size) buf_.resize(end_ + size);
    std::memcpy(buf_.data() + end_, data, size);
    Commit(size, now);
}

bool TFrameReader::Take(TFrame& frame) {
    if (Failed() || Pending() < kFrameHeaderSize) return false;
    const uint32_t length = WaitingLength();
    if (Pending() < size_t(length) + 4) return false;
    const char* at = buf_.data() + pos_;
    frame.WParam = Le32(at + 4);
    frame.Block = std::string_view(at + kFrameHeaderSize, length - 4);
    pos_ += size_t(length) + 4;
    // The next frame's first bytes came with the last read.
    if (Pending() > 0) {
        frameStart_ = lastFeed_;
        Classify();
    } else {
        pos_ = end_ = 0;
    }
    return true;
}

TFrameError TFrameReader::Check(double now) {
    if (Failed() || Pending() == 0) return error_;
    const uint32_t length = WaitingLength();
    const bool whole = Pending() >= kFrameHeaderSize && Pending() >= size_t(length) + 4;
    if (!whole && now - frameStart_ >= kStallSeconds) error_ = TFrameError::feStalled;
    return error_;
}

} // namespace vx::net
