// Append-only storage for the row texts: short strings packed into chunks,
// addressed by a 32-bit reference, so a row carries no string object of its own.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

namespace vx {

class TTextArena {
  public:
    static constexpr size_t kMaxText = 255;

    // Copies text (at most kMaxText bytes) and returns its reference; an empty
    // text takes no room and has reference 0.
    uint32_t Add(std::string_view text);
    std::string_view Get(uint32_t ref, size_t length) const {
        if (length == 0) return {};
        return {chunks_[ref >> kOffsetBits].get() + (ref & kOffsetMask), length};
    }
    void Clear();
    size_t BytesUsed() const { return bytesUsed_; }    // all texts ever added
    size_t BytesReserved() const { return reserved_; } // chunk memory
    void Swap(TTextArena& other) noexcept;

  private:
    // A reference is chunk index (high bits) and offset in the chunk (low bits).
    static constexpr unsigned kOffsetBits = 20;
    static constexpr uint32_t kOffsetMask = (1u << kOffsetBits) - 1;
    static constexpr size_t kMaxChunks = size_t(1) << (32 - kOffsetBits);
    // Chunks grow from 4 KB to 1 MB, so a small section stays small.
    static constexpr size_t kFirstChunk = 4096;
    static constexpr size_t kLastChunk = size_t(1) << kOffsetBits;

    void NewChunk();

    std::vector<std::unique_ptr<char[]>> chunks_;
    size_t chunkSize_ = 0; // size of the last chunk
    size_t used_ = 0;      // bytes used in the last chunk
    size_t bytesUsed_ = 0;
    size_t reserved_ = 0;
};

} // namespace vx
