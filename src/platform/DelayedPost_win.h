// A message posted to a window a little later, by a pool thread. A window
// that comes back for more work by a WM_TIMER may wait for as long as a flood
// lasts: a WM_TIMER comes only once no posted message waits, and during a
// flood the sections keep posting themselves their updates. A posted message
// takes its turn with theirs.
#pragma once

#include <windows.h>

namespace vx {

class TDelayedPost {
  public:
    TDelayedPost(HWND window, UINT message, WPARAM wParam = 0)
        : window_(window), message_(message), wParam_(wParam) {}
    ~TDelayedPost() { Cancel(); }
    TDelayedPost(const TDelayedPost&) = delete;
    TDelayedPost& operator=(const TDelayedPost&) = delete;

    // Posts the message in about `ms` milliseconds, instead of a post still
    // to come; false when no pool timer could be made.
    bool Start(DWORD ms);
    // No post to come: one under way is waited for, one already made stays
    // in the queue.
    void Cancel();

  private:
    static void CALLBACK Fire(void* self, BOOLEAN);
    const HWND window_;
    const UINT message_;
    const WPARAM wParam_;
    HANDLE timer_ = nullptr;
};

} // namespace vx
