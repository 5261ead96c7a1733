// The bounded hand-off between the reader thread and the user-interface
// thread. A full queue makes the reader wait (senders then wait for the
// buffer in turn): nothing is ever dropped. The user-interface thread gets
// one posted message per batch: Push says when one must be posted. During a
// flood the consumer comes back by itself (a timer) and nothing more is
// posted, until it finds the queue empty and releases it: a post for every
// text would cost each text two more trips through the system.
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
    // Moves up to max events into out; true when events are left.
    bool Take(std::vector<TOdsEvent>& out, size_t max);
    // The consumer stops coming back: true when the queue is empty, and the
    // next Push posts again; false when events came meanwhile.
    bool Release();
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

} // namespace vx
