// The bounded hand-off between the reader thread and the user-interface
// thread. A full queue makes the reader wait (senders then wait for the
// buffer in turn): nothing is ever dropped. It is bounded twice, by texts
// and by the bytes they hold: it takes many short texts (so a pause of the
// window, such as building a process's section, does not stop the senders)
// but not as many long ones. The user-interface thread gets one posted
// message per batch: Push says when one must be posted. During a
// flood the consumer comes back by itself (a timer) and nothing more is
// posted, until it finds the queue empty and releases it: a post for every
// text would cost each text two more trips through the system.
#pragma once

#include "capture/OdsText.h"

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <mutex>
#include <vector>

namespace vx {

class TOdsQueue {
  public:
    // byteCapacity bounds the sum of EventBytes; one event larger than it
    // still goes into an empty queue.
    explicit TOdsQueue(size_t capacity, size_t byteCapacity = SIZE_MAX)
        : capacity_(capacity ? capacity : 1), byteCapacity_(byteCapacity) {}
    static size_t EventBytes(const TOdsEvent& event) { return sizeof event + event.Text.size(); }

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
    size_t Bytes() const;

  private:
    bool Full(size_t adding) const;

    mutable std::mutex mutex_;
    std::condition_variable room_;
    std::deque<TOdsEvent> events_;
    size_t capacity_, byteCapacity_;
    size_t bytes_ = 0;
    bool posted_ = false;
    bool closed_ = false;
};

} // namespace vx
