// The reader of the system's debug-output buffer (DBWIN_BUFFER and its two
// events): a thread of its own that copies each text, re-arms the buffer at
// once so the sender can go on, and only then names the sending process and
// queues the text for the user-interface thread. Processes are watched
// through their handles, and their end is queued after their last text.
#pragma once

#include "capture/OdsQueue.h"

#include <windows.h>

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace vx {

enum class TOdsOpen { ooStarted, ooInUse, ooFailed };

// One set of the buffer's objects, under a name prefix ("" or "Global\").
struct TDbwinBuffer {
    HANDLE BufferReady = nullptr, DataReady = nullptr, Mapping = nullptr;
    const char* View = nullptr;

    // ooInUse when another program already serves the buffer.
    TOdsOpen Open(const std::string& prefix);
    void Close();
    bool IsOpen() const { return View != nullptr; }
};

class TOdsReader {
  public:
    // post runs on the reader thread when the queue wants a batch message.
    TOdsReader(TOdsQueue& queue, std::function<void()> post);
    ~TOdsReader();
    TOdsReader(const TOdsReader&) = delete;
    TOdsReader& operator=(const TOdsReader&) = delete;

    struct TStatus {
        TOdsOpen Local = TOdsOpen::ooFailed;
        bool Global = false; // the services' buffer is read as well
    };
    TStatus Start();
    // Stops the thread and lets go of the buffer and every process handle;
    // what is still queued stays for the consumer to drop or take.
    void Stop();
    bool Running() const { return thread_.joinable(); }

  private:
    struct TWatched;
    void Run();
    void Read(TDbwinBuffer& buffer);
    std::shared_ptr<const TOdsProcess> ProcessOf(uint32_t pid);
    void EndProcesses();
    void Forget(TWatched& w);
    void Queue(TOdsEvent&& event);
    static void CALLBACK ProcessEnded(void* context, BOOLEAN timedOut);

    TOdsQueue& queue_;
    std::function<void()> post_;
    TDbwinBuffer local_, global_;
    HANDLE stop_ = nullptr, wake_ = nullptr;
    std::thread thread_;
    std::map<uint32_t, std::unique_ptr<TWatched>> processes_; // reader thread only
    std::mutex endedMutex_;
    std::vector<uint32_t> ended_; // filled by the wait callbacks
};

} // namespace vx
