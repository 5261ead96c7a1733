// TClientReceiver: takes the clients' records on a thread of its own.
//
// Under Wine a record that the user-interface thread takes costs a good deal
// more than one a bare window takes: the server's work for each message
// grows with that thread's windows and pending paints (dozens per section),
// and the sender waits while the thread updates the screen. So the window
// that the viewer announces to its clients is a message-only window on a
// thread that owns nothing else. It copies each WM_COPYDATA block into a
// bounded queue and returns; the user-interface thread takes the queue in
// batches, one posted message per batch, and applies the records in the
// order the clients sent them.
//
// - A full queue makes the sender wait (its SendMessage does not return)
//   until the user-interface thread has taken a batch: nothing is dropped.
// - A record of an unknown kind is reported in an error box that the sender
//   waits for, as before: its SendMessage returns once the record has been
//   applied. Other clients are served meanwhile.
// - The handshake is answered here with this window's handle; any other
//   request code goes to the main window, which reports it.
#pragma once

#include <windows.h>

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace vx {

struct TReceiverLimits {
    size_t Records = 1024;    // queued records before a sender waits
    size_t Bytes = 16u << 20; // queued block bytes before a sender waits
    DWORD BatchMs = 20;       // a batch gathers records for about this long
};

class TClientReceiver {
  public:
    // One WM_COPYDATA as it arrived: the wParam and a copy of the block
    // (HasBlock false when its lpData was null).
    struct TRecord {
        uint32_t WParam = 0;
        std::string Block;
        bool HasBlock = false;
        uint64_t Sequence = 0;    // 1, 2, 3, ... in arrival order
        bool SenderWaits = false; // the sender waits until Applied(Sequence)
    };

    using TLimits = TReceiverLimits;

    // Batches are announced to `target` by posting `batchMessage` (wParam 0).
    TClientReceiver(HWND target, UINT batchMessage, TLimits limits);
    TClientReceiver(HWND target, UINT batchMessage)
        : TClientReceiver(target, batchMessage, TLimits()) {}
    ~TClientReceiver();
    TClientReceiver(const TClientReceiver&) = delete;
    TClientReceiver& operator=(const TClientReceiver&) = delete;

    // Starts the thread and its window; false when either cannot be made.
    bool Start();
    // Ends the thread; a sender that waits for room or for its record is let go.
    // Records still queued are dropped with the receiver.
    void Stop();
    // The message-only window that clients send their records to.
    HWND Handle() const { return hwnd_; }

    // User-interface thread: every record queued so far, oldest first. The
    // next batch message is posted only after this has been called.
    std::deque<TRecord> TakeBatch();
    // User-interface thread: the record with this sequence number has been
    // applied; a sender that waits for it goes on.
    void Applied(uint64_t sequence);

    // Whether the sender of a record with this wParam waits until it is applied.
    static bool SenderWaitsFor(uint32_t wParam);
    // The bytes of a block worth keeping: the fixed part and the attached
    // data it announces, never more than was delivered.
    static size_t KeptSize(const void* data, size_t size);

  private:
    void Run(HANDLE ready);
    LRESULT CopyData(WPARAM wParam, const COPYDATASTRUCT* cds);
    void Handshake(WPARAM wParam, LPARAM lParam);
    void OnTimer();
    // Returns once the record has been applied (or the receiver stops),
    // serving the other clients meanwhile.
    void WaitApplied(uint64_t sequence);
    // With the lock held: posts the batch message unless one is on its way.
    void PostBatch();

    const HWND target_;
    const UINT batchMessage_;
    const TLimits limits_;
    HWND hwnd_ = nullptr;
    DWORD threadId_ = 0;
    std::thread thread_;

    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<TRecord> queue_;
    size_t queuedBytes_ = 0;
    uint64_t nextSequence_ = 1;
    std::vector<uint64_t> applied_; // waited-for records applied, senders not yet gone on
    HANDLE appliedEvent_ = nullptr; // set when applied_ grows or the receiver stops
    bool posted_ = false;           // a batch message is on its way
    bool stopping_ = false;
    bool timerArmed_ = false; // receiver thread only
    ULONGLONG lastPost_ = 0;  // GetTickCount64 of the last batch message
};

} // namespace vx
