#include "TextArena.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

namespace vx {

uint32_t TTextArena::Add(std::string_view text) {
    if (text.size() > kMaxText) text = text.substr(0, kMaxText);
    if (text.empty()) return 0;
    if (chunks_.empty() || chunkSize_ - used_ < text.size()) NewChunk();
    uint32_t ref = uint32_t((chunks_.size() - 1) << kOffsetBits) | uint32_t(used_);
    std::memcpy(chunks_.back().get() + used_, text.data(), text.size());
    used_ += text.size();
    bytesUsed_ += text.size();
    return ref;
}

void TTextArena::NewChunk() {
    if (chunks_.size() == kMaxChunks) throw std::length_error("text storage is full");
    chunkSize_ = chunks_.empty() ? kFirstChunk : std::min(chunkSize_ * 2, kLastChunk);
    chunks_.push_back(std::make_unique_for_overwrite<char[]>(chunkSize_));
    reserved_ += chunkSize_;
    used_ = 0;
}

void TTextArena::Clear() {
    std::vector<std::unique_ptr<char[]>>().swap(chunks_);
    chunkSize_ = used_ = bytesUsed_ = reserved_ = 0;
}

void TTextArena::Swap(TTextArena& o) noexcept {
    chunks_.swap(o.chunks_);
    std::swap(chunkSize_, o.chunkSize_);
    std::swap(used_, o.used_);
    std::swap(bytesUsed_, o.bytesUsed_);
    std::swap(reserved_, o.reserved_);
}

} // namespace vx
