// TBlockVector: a sequence kept in blocks of a fixed size, for the rows of a
// list that grows to millions. Appending never moves what is stored: a vector
// that doubles copies every element and for a moment holds them twice (at a
// million rows, 40 MB copied into 80 MB of fresh memory, which the window's
// thread waits for and a virtual machine faults in page by page). The oldest
// elements go a block at a time without moving the rest.
//
// Elements are reached by index in constant time. The first block grows like
// a vector up to the block size, so that a small list stays small; every
// later block is allocated whole when the first element lands in it.
#pragma once

#include <algorithm>
#include <cstddef>
#include <stdexcept>
#include <utility>
#include <vector>

namespace vx {

template <class T, unsigned BlockBits = 13> class TBlockVector {
  public:
    static constexpr size_t kBlock = size_t(1) << BlockBits;

    size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }

    T& operator[](size_t i) {
        const size_t j = i + front_;
        return blocks_[j >> BlockBits][j & kMask];
    }
    const T& operator[](size_t i) const {
        const size_t j = i + front_;
        return blocks_[j >> BlockBits][j & kMask];
    }
    T& at(size_t i) {
        if (i >= size_) throw std::out_of_range("row index");
        return (*this)[i];
    }
    const T& at(size_t i) const {
        if (i >= size_) throw std::out_of_range("row index");
        return (*this)[i];
    }
    T& back() { return (*this)[size_ - 1]; }

    // Room for one more element, so that the next push_back cannot fail.
    void reserve_one() {
        const size_t j = front_ + size_;
        const size_t b = j >> BlockBits;
        if (b == blocks_.size()) {
            if (blocks_.size() == blocks_.capacity()) blocks_.reserve(blocks_.size() * 2 + 4);
            std::vector<T> block;
            block.reserve(b == 0 ? kFirstBlock : kBlock);
            blocks_.push_back(std::move(block));
            return;
        }
        std::vector<T>& block = blocks_[b];
        if (block.size() == block.capacity())
            block.reserve(std::min(kBlock, std::max(kFirstBlock, block.capacity() * 2)));
    }

    void push_back(T&& value) {
        reserve_one();
        blocks_[(front_ + size_) >> BlockBits].push_back(std::move(value));
        ++size_;
    }

    // Inserts before element `at` (size() appends); later elements move back by one.
    void insert(size_t at, T&& value) {
        if (at > size_) throw std::out_of_range("row index");
        if (at == size_) return push_back(std::move(value));
        reserve_one(); // before taking the last element: the first block may move
        T last(std::move(back()));
        push_back(std::move(last));
        for (size_t i = size_ - 2; i > at; --i)
            (*this)[i] = std::move((*this)[i - 1]);
        (*this)[at] = std::move(value);
    }

    // Removes element `at`; later elements move up by one.
    void erase(size_t at) {
        if (at >= size_) throw std::out_of_range("row index");
        for (size_t i = at; i + 1 < size_; ++i)
            (*this)[i] = std::move((*this)[i + 1]);
        pop_back();
    }

    void pop_back() {
        blocks_[(front_ + size_ - 1) >> BlockBits].pop_back();
        if (--size_ == 0) {
            blocks_.clear();
            front_ = 0;
            return;
        }
        // One empty block stays: rows erased and appended in turn at a block's
        // edge would free and make it every time.
        while (blocks_.size() > 1 && blocks_.back().empty() && blocks_[blocks_.size() - 2].empty())
            blocks_.pop_back();
    }

    // Removes the first `count` elements (all when more). The rest move only in
    // a list of one block, once the dropped slots outnumber them.
    void erase_front(size_t count) {
        if (count >= size_) return clear();
        // Every block before the last one is full: those that held only
        // dropped elements go whole.
        const size_t whole = std::min((front_ + count) >> BlockBits, blocks_.size() - 1);
        const size_t goneSlots = whole << BlockBits; // front_ is below it when whole > 0
        for (size_t i = goneSlots > front_ ? goneSlots - front_ : 0; i < count; ++i)
            (*this)[i] = T(); // dropped, in a block that stays
        blocks_.erase(blocks_.begin(), blocks_.begin() + std::ptrdiff_t(whole));
        front_ = front_ + count - goneSlots;
        size_ -= count;
        // A first block that is still growing (a short list under a history
        // limit) would carry its dropped slots along: once they are the
        // larger part, the rest moves down.
        if (blocks_.size() == 1 && front_ > size_) {
            std::vector<T>& first = blocks_.front();
            first.erase(first.begin(), first.begin() + std::ptrdiff_t(front_));
            front_ = 0;
        }
    }

    // Removes every element and gives their memory back.
    void clear() {
        std::vector<std::vector<T>>().swap(blocks_);
        front_ = size_ = 0;
    }

    TBlockVector() = default;
    TBlockVector(const TBlockVector&) = delete;
    TBlockVector& operator=(const TBlockVector&) = delete;
    TBlockVector(TBlockVector&& other) noexcept { swap(other); }
    TBlockVector& operator=(TBlockVector&& other) noexcept {
        clear();
        swap(other);
        return *this;
    }

    void swap(TBlockVector& other) noexcept {
        blocks_.swap(other.blocks_);
        std::swap(front_, other.front_);
        std::swap(size_, other.size_);
    }

    // Calls f(element) for every element in order.
    template <class F> void for_each(F&& f) {
        size_t left = size_;
        for (size_t b = 0; b < blocks_.size() && left; ++b) {
            std::vector<T>& block = blocks_[b];
            for (size_t k = b == 0 ? front_ : 0; k < block.size() && left; ++k, --left)
                f(block[k]);
        }
    }

    size_t capacity_bytes() const {
        size_t bytes = blocks_.capacity() * sizeof(std::vector<T>);
        for (const std::vector<T>& block : blocks_)
            bytes += block.capacity() * sizeof(T);
        return bytes;
    }

  private:
    static constexpr size_t kMask = kBlock - 1;
    static constexpr size_t kFirstBlock = std::min<size_t>(16, std::max<size_t>(1, kBlock / 4));

    std::vector<std::vector<T>> blocks_;
    size_t front_ = 0; // leading slots of the first block that hold nothing
    size_t size_ = 0;
};

} // namespace vx
