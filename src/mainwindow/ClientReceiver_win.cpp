#include "mainwindow/ClientReceiver_win.h"

#include "protocol/Common_Types.h"
#include "protocol/vxDebugIntf.h"
#include "ui/Window_win.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <new>

namespace vx {

namespace {

const char* const kReceiverClass = "vxClientReceiver";
constexpr UINT_PTR kBatchTimer = 1;

} // namespace

TClientReceiver::TClientReceiver(HWND target, UINT batchMessage, TLimits limits)
    : target_(target), batchMessage_(batchMessage), limits_(limits),
      appliedEvent_(CreateEventA(nullptr, FALSE, FALSE, nullptr)) {}

TClientReceiver::~TClientReceiver() {
    Stop();
    if (appliedEvent_) CloseHandle(appliedEvent_);
}

bool TClientReceiver::SenderWaitsFor(uint32_t wParam) {
    uint8_t kind = uint8_t(wParam & 0xFF);
    bool known = kind == dkDisconnect || (kind >= dkConnect && kind <= dkShowViewer);
    return !known;
}

size_t TClientReceiver::KeptSize(const void* data, size_t size) {
    if (!data || size < packet::FixedSize) return size;
    int32_t dataSize;
    std::memcpy(&dataSize, static_cast<const char*>(data) + packet::DataSize, sizeof dataSize);
    if (dataSize <= 0) return packet::FixedSize;
    return std::min(size, packet::FixedSize + size_t(dataSize));
}

bool TClientReceiver::Start() {
    if (thread_.joinable()) return hwnd_ != nullptr;
    if (!appliedEvent_) return false;
    HANDLE ready = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    if (!ready) return false;
    try {
        thread_ = std::thread([this, ready] { Run(ready); });
    } catch (...) {
        CloseHandle(ready);
        return false;
    }
    WaitForSingleObject(ready, INFINITE);
    CloseHandle(ready);
    if (!hwnd_) {
        thread_.join();
        return false;
    }
    return true;
}

void TClientReceiver::Stop() {
    if (!thread_.joinable()) return;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
    }
    changed_.notify_all();
    SetEvent(appliedEvent_);
    PostThreadMessageA(threadId_, WM_QUIT, 0, 0);
    thread_.join();
    hwnd_ = nullptr;
    std::lock_guard<std::mutex> lock(mutex_);
    queue_.clear();
    queuedBytes_ = 0;
    applied_.clear();
}

void TClientReceiver::Run(HANDLE ready) {
    threadId_ = GetCurrentThreadId();
    // The window lives and dies on this thread, which alone may destroy it.
    ui::TOwnedWindow window;
    window.Handler = [this, &window](UINT msg, WPARAM wParam, LPARAM lParam) -> LRESULT {
        if (msg == WM_COPYDATA)
            return CopyData(wParam, reinterpret_cast<const COPYDATASTRUCT*>(lParam));
        if (msg != 0 && msg == WM_CLIENT2DEBUGGER) {
            Handshake(wParam, lParam);
            return 0;
        }
        if (msg == WM_TIMER && wParam == kBatchTimer) {
            OnTimer();
            return 0;
        }
        return window.Default(msg, wParam, lParam);
    };
    ui::TCreateParams params;
    params.Class.Name = kReceiverClass;
    params.Class.Style = 0;
    params.Style = 0;
    params.ParentHandle = HWND_MESSAGE;
    window.Create(params, typeid(TClientReceiver));
    HWND hwnd = window.Handle();
    // The queue exists before Start returns, so a quit posted by Stop is kept.
    MSG m;
    PeekMessageA(&m, nullptr, 0, 0, PM_NOREMOVE);
    hwnd_ = hwnd;
    SetEvent(ready);
    if (!hwnd) return;
    while (GetMessageA(&m, nullptr, 0, 0) > 0)
        DispatchMessageA(&m);
    window.Destroy();
}

LRESULT TClientReceiver::CopyData(WPARAM wParam, const COPYDATASTRUCT* cds) {
    if (!cds) return 0;
    TRecord rec;
    rec.WParam = uint32_t(wParam);
    rec.HasBlock = cds->lpData != nullptr;
    try {
        if (rec.HasBlock)
            rec.Block.assign(static_cast<const char*>(cds->lpData),
                             KeptSize(cds->lpData, cds->cbData));
    } catch (const std::bad_alloc&) {
        return 0; // a block too large to copy is dropped, as a decoder would drop it
    }
    rec.SenderWaits = SenderWaitsFor(rec.WParam);
    const bool waits = rec.SenderWaits;
    const size_t bytes = rec.Block.size();

    std::unique_lock<std::mutex> lock(mutex_);
    auto room = [&] {
        return stopping_ || queue_.empty() ||
               (queue_.size() < limits_.Records && queuedBytes_ + bytes <= limits_.Bytes);
    };
    while (!room()) {
        // Full: the user-interface thread must hear of it while this sender waits.
        PostBatch();
        changed_.wait_for(lock, std::chrono::milliseconds(100));
    }
    if (stopping_) return 0;
    uint64_t sequence = rec.Sequence = nextSequence_++;
    queuedBytes_ += bytes;
    queue_.push_back(std::move(rec));
    // A record after a quiet spell goes off at once; in a flood the records
    // of one period make one batch.
    if (!posted_ && (waits || queue_.size() >= limits_.Records ||
                     GetTickCount64() - lastPost_ >= limits_.BatchMs))
        PostBatch();
    const bool arm = !posted_ && !timerArmed_;
    lock.unlock();
    if (waits) {
        WaitApplied(sequence);
        return 0;
    }
    if (arm) {
        // The timer ticks while records come and sends off what a period
        // gathered, also when no record follows it; it stops when idle.
        timerArmed_ = SetTimer(hwnd_, kBatchTimer, limits_.BatchMs, nullptr) != 0;
        if (!timerArmed_) {
            std::lock_guard<std::mutex> again(mutex_);
            PostBatch();
        }
    }
    return 0;
}

void TClientReceiver::WaitApplied(uint64_t sequence) {
    for (;;) {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            auto it = std::find(applied_.begin(), applied_.end(), sequence);
            if (it != applied_.end()) {
                applied_.erase(it);
                return;
            }
            if (stopping_) return;
            PostBatch();
        }
        // Other clients are served meanwhile, as while an error box is up:
        // their records queue up behind this one.
        MsgWaitForMultipleObjects(1, &appliedEvent_, FALSE, 100, QS_SENDMESSAGE);
        MSG m;
        PeekMessageA(&m, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
}

void TClientReceiver::OnTimer() {
    bool idle;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (!queue_.empty()) PostBatch();
        idle = queue_.empty() && !posted_;
    }
    if (idle) {
        KillTimer(hwnd_, kBatchTimer);
        timerArmed_ = false;
    }
}

void TClientReceiver::PostBatch() {
    if (posted_) return;
    posted_ = PostMessageA(target_, batchMessage_, 0, 0) != FALSE;
    lastPost_ = GetTickCount64();
}

void TClientReceiver::Handshake(WPARAM wParam, LPARAM lParam) {
    if ((wParam & 0xFF) == hsHello)
        PostMessageA(reinterpret_cast<HWND>(lParam), WM_DEBUGGER2CLIENT, vnAnswer,
                     reinterpret_cast<LPARAM>(hwnd_));
    else
        PostMessageA(target_, WM_CLIENT2DEBUGGER, wParam, lParam); // the main window reports it
}

std::deque<TClientReceiver::TRecord> TClientReceiver::TakeBatch() {
    std::deque<TRecord> batch;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        batch.swap(queue_);
        queuedBytes_ = 0;
        posted_ = false;
    }
    changed_.notify_all();
    return batch;
}

void TClientReceiver::Applied(uint64_t sequence) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        applied_.push_back(sequence);
    }
    SetEvent(appliedEvent_);
}

} // namespace vx
