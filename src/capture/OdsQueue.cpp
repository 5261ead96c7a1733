#include "capture/OdsQueue.h"

namespace vx {

TOdsQueue::TPushResult TOdsQueue::Push(TOdsEvent&& event) {
    std::unique_lock<std::mutex> lock(mutex_);
    if (events_.size() >= capacity_ && !closed_) {
        event.Delayed = true;
        room_.wait(lock, [this] { return events_.size() < capacity_ || closed_; });
    }
    TPushResult r;
    if (closed_) {
        r.Closed = true;
        return r;
    }
    events_.push_back(std::move(event));
    r.Post = !posted_;
    posted_ = true;
    return r;
}

bool TOdsQueue::Take(std::vector<TOdsEvent>& out, size_t max) {
    std::lock_guard<std::mutex> lock(mutex_);
    for (size_t n = 0; n < max && !events_.empty(); ++n) {
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
    posted_ = false;
    closed_ = false;
}

size_t TOdsQueue::Size() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return events_.size();
}

} // namespace vx
