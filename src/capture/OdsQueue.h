// The bounded hand-off between the reader thread and the user-interface
// thread. A full queue makes the reader wait (senders then wait for the
// buffer in turn): nothing is ever dropped. The user-interface thread gets
// one posted message per batch: Push says when one must be posted, and Take
// says when the consumer must post itself another one for what is left.
#pragma once

#include "capture/OdsText.h"

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <mutex>
#include <vector>

namespace vx {

class TOdsQueue {
public:
    explicit TOdsQueue(size_t capacity) : capacity_(capacity ? capacity : 1) {}

    struct TPushResult {
        bool Post = false;   // no batch message is pending: post one now
        bool Closed = false; // the queue was closed; the event is gone
    };
    // Waits while the queue is full; an event that had to wait is marked Delayed.
    TPushResult Push(TOdsEvent&& event);
    // Moves up to max events into out. True when events are left, and the
    // caller posts itself another batch message; false ends the batch.
    bool Take(std::vector<TOdsEvent>& out, size_t max);
    // Wakes a waiting Push for good; later pushes are refused.
    void Close();
    // Opens the queue again, empty, for a new capture.
    void Reset();
    size_t Size() const;

private:
    mutable std::mutex mutex_;
    std::condition_variable room_;
    std::deque<TOdsEvent> events_;
    size_t capacity_;
    bool posted_ = false;
    bool closed_ = false;
};

}  // namespace vx
