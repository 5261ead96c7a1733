#include "capture/OdsQueue.h"

#include <algorithm>

namespace vx {

bool TOdsQueue::Full(size_t adding) const {
    if (events_.empty()) return false;
    return events_.size() >= capacity_ || adding > byteCapacity_ - std::min(bytes_, byteCapacity_);
}

TOdsQueue::TPushResult TOdsQueue::Push(TOdsEvent&& event) {
    const size_t adding = EventBytes(event);
    std::unique_lock<std::mutex> lock(mutex_);
    if (Full(adding) && !closed_) {
        event.Delayed = true;
        room_.wait(lock, [this, adding] { return !Full(adding) || closed_; });
    }
    TPushResult r;
    if (closed_) {
        r.Closed = true;
        return r;
    }
    bytes_ += adding;
    events_.push_back(std::move(event));
    r.Post = !posted_;
    posted_ = true;
    return r;
}

bool TOdsQueue::Take(std::vector<TOdsEvent>& out, size_t max) {
    std::lock_guard<std::mutex> lock(mutex_);
    for (size_t n = 0; n < max && !events_.empty(); ++n) {
        bytes_ -= std::min(bytes_, EventBytes(events_.front()));
        out.push_back(std::move(events_.front()));
        events_.pop_front();
    }
    room_.notify_all();
    return !events_.empty();
}

bool TOdsQueue::Release() {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!events_.empty()) return false;
    posted_ = false;
    return true;
}

void TOdsQueue::Close() {
    std::lock_guard<std::mutex> lock(mutex_);
    closed_ = true;
    room_.notify_all();
}

void TOdsQueue::Reset() {
    std::lock_guard<std::mutex> lock(mutex_);
    events_.clear();
    bytes_ = 0;
    posted_ = false;
    closed_ = false;
}

size_t TOdsQueue::Size() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return events_.size();
}

size_t TOdsQueue::Bytes() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return bytes_;
}

} // namespace vx
