#include "platform/DelayedPost_win.h"

namespace vx {

bool TDelayedPost::Start(DWORD ms) {
    Cancel();
    if (CreateTimerQueueTimer(&timer_, nullptr, &TDelayedPost::Fire, this, ms, 0,
                              WT_EXECUTEONLYONCE))
        return true;
    timer_ = nullptr;
    return false;
}

void TDelayedPost::Cancel() {
    // INVALID_HANDLE_VALUE: returns once a callback under way has ended, so
    // none uses this object after it.
    if (timer_) DeleteTimerQueueTimer(nullptr, timer_, INVALID_HANDLE_VALUE);
    timer_ = nullptr;
}

void CALLBACK TDelayedPost::Fire(void* self, BOOLEAN) {
    const auto* post = static_cast<const TDelayedPost*>(self);
    PostMessageA(post->window_, post->message_, post->wParam_, 0);
}

} // namespace vx
