#include "capture/OdsReader_win.h"

#include "platform/DateTimeFormat.h"

#include <cstring>

namespace vx {

namespace {

TDateTime NowLocal() {
    SYSTEMTIME st;
    GetLocalTime(&st);
    return EncodeDateTime(
        {st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond, st.wMilliseconds});
}

} // namespace

TOdsOpen TDbwinBuffer::Open(const std::string& prefix) {
    const std::string ready = prefix + "DBWIN_BUFFER_READY", data = prefix + "DBWIN_DATA_READY",
                      buffer = prefix + "DBWIN_BUFFER";
    // Another reader's events: it keeps the buffer, and we stay away.
    if (HANDLE other = OpenEventA(SYNCHRONIZE, FALSE, ready.c_str())) {
        CloseHandle(other);
        return TOdsOpen::ooInUse;
    }
    auto made = [this](HANDLE h) {
        if (!h) return TOdsOpen::ooFailed;
        if (GetLastError() == ERROR_ALREADY_EXISTS) return TOdsOpen::ooInUse;
        return TOdsOpen::ooStarted;
    };
    TOdsOpen r = made(BufferReady = CreateEventA(nullptr, FALSE, FALSE, ready.c_str()));
    if (r == TOdsOpen::ooStarted)
        r = made(DataReady = CreateEventA(nullptr, FALSE, FALSE, data.c_str()));
    if (r == TOdsOpen::ooStarted) {
        Mapping = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                     DWORD(kDbwinBufferSize), buffer.c_str());
        // A mapping left by someone else may be smaller than the buffer: then
        // the view cannot be made and the capture does not start.
        if (Mapping)
            View = static_cast<const char*>(
                MapViewOfFile(Mapping, FILE_MAP_READ, 0, 0, kDbwinBufferSize));
        if (!View) r = TOdsOpen::ooFailed;
    }
    if (r != TOdsOpen::ooStarted) Close();
    return r;
}

void TDbwinBuffer::Close() {
    if (View) UnmapViewOfFile(View);
    for (HANDLE h : {Mapping, DataReady, BufferReady})
        if (h) CloseHandle(h);
    View = nullptr;
    Mapping = DataReady = BufferReady = nullptr;
}

struct TOdsReader::TWatched {
    TOdsReader* Reader = nullptr;
    uint32_t Pid = 0;
    std::shared_ptr<const TOdsProcess> Process;
    HANDLE Handle = nullptr, Wait = nullptr;
};

TOdsReader::TOdsReader(TOdsQueue& queue, std::function<void()> post)
    : queue_(queue), post_(std::move(post)) {}

TOdsReader::~TOdsReader() {
    Stop();
}

TOdsReader::TStatus TOdsReader::Start() {
    TStatus status;
    if (Running()) {
        status.Local = TOdsOpen::ooStarted;
        status.Global = global_.IsOpen();
        return status;
    }
    status.Local = local_.Open("");
    if (status.Local != TOdsOpen::ooStarted) return status;
    // Services write to the session-wide buffer; creating it needs a right
    // that a user's program may not have.
    status.Global = global_.Open("Global\\") == TOdsOpen::ooStarted;
    stop_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    wake_ = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    queue_.Reset();
    thread_ = std::thread([this] { Run(); });
    return status;
}

void TOdsReader::Stop() {
    if (thread_.joinable()) {
        SetEvent(stop_);
        queue_.Close(); // a reader waiting for room gives up
        thread_.join();
    }
    while (!processes_.empty()) {
        Forget(*processes_.begin()->second);
        processes_.erase(processes_.begin());
    }
    local_.Close();
    global_.Close();
    for (HANDLE* h : {&stop_, &wake_})
        if (*h) CloseHandle(*h), *h = nullptr;
    std::lock_guard<std::mutex> lock(endedMutex_);
    ended_.clear();
}

void TOdsReader::Run() {
    // The lowest index wins when several are signalled: a stop comes before
    // everything, and texts before ends, so a process's last text is queued
    // before its end.
    std::vector<HANDLE> waits{stop_};
    std::vector<TDbwinBuffer*> buffers;
    for (TDbwinBuffer* b : {&local_, &global_}) {
        if (!b->IsOpen()) continue;
        SetEvent(b->BufferReady);
        waits.push_back(b->DataReady);
        buffers.push_back(b);
    }
    waits.push_back(wake_);
    const DWORD wake = DWORD(waits.size() - 1);
    for (;;) {
        DWORD r = WaitForMultipleObjects(DWORD(waits.size()), waits.data(), FALSE, INFINITE);
        if (r == WAIT_OBJECT_0 || r == WAIT_FAILED) return;
        if (r < wake)
            Read(*buffers[r - 1]);
        else if (r == wake)
            EndProcesses();
    }
}

void TOdsReader::Read(TDbwinBuffer& buffer) {
    // Copy and re-arm first: the senders wait for the buffer meanwhile.
    char copy[kDbwinBufferSize];
    std::memcpy(copy, buffer.View, sizeof copy);
    SetEvent(buffer.BufferReady);
    TOdsEvent e;
    e.Time = NowLocal();
    uint32_t pid;
    std::memcpy(&pid, copy, sizeof pid);
    e.Text = DbwinText(copy, sizeof copy);
    e.Process = ProcessOf(pid);
    const bool watched = processes_.count(pid) != 0;
    std::shared_ptr<const TOdsProcess> process = e.Process;
    Queue(std::move(e));
    if (!watched) {
        // It could not be opened: it has ended already, or it is not ours to
        // watch. Either way nobody will tell us of its end.
        TOdsEvent end;
        end.Kind = TOdsEvent::oeEnded;
        end.Process = std::move(process);
        Queue(std::move(end));
    }
}

void TOdsReader::Queue(TOdsEvent&& event) {
    if (queue_.Push(std::move(event)).Post && post_) post_();
}

std::shared_ptr<const TOdsProcess> TOdsReader::ProcessOf(uint32_t pid) {
    auto it = processes_.find(pid);
    if (it != processes_.end()) return it->second->Process;
    // While this handle is open the system does not give the ID to another
    // process, so every text under this ID is this process's until it ends.
    HANDLE h = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION | SYNCHRONIZE, FALSE, pid);
    uint64_t start = 0;
    std::string path;
    if (h) {
        FILETIME created, exited, kernel, user;
        if (GetProcessTimes(h, &created, &exited, &kernel, &user))
            start = (uint64_t(created.dwHighDateTime) << 32) | created.dwLowDateTime;
        char name[MAX_PATH * 2];
        DWORD size = sizeof name;
        if (QueryFullProcessImageNameA(h, 0, name, &size)) path.assign(name, size);
    }
    auto process = std::make_shared<const TOdsProcess>(MakeOdsProcess(pid, start, path));
    if (!h) return process;
    auto w = std::make_unique<TWatched>();
    w->Reader = this;
    w->Pid = pid;
    w->Process = process;
    w->Handle = h;
    if (!RegisterWaitForSingleObject(&w->Wait, h, &TOdsReader::ProcessEnded, w.get(), INFINITE,
                                     WT_EXECUTEONLYONCE)) {
        w->Wait = nullptr;
        CloseHandle(h);
        return process;
    }
    processes_[pid] = std::move(w);
    return process;
}

void CALLBACK TOdsReader::ProcessEnded(void* context, BOOLEAN) {
    auto* w = static_cast<TWatched*>(context);
    TOdsReader* self = w->Reader;
    std::lock_guard<std::mutex> lock(self->endedMutex_);
    self->ended_.push_back(w->Pid);
    SetEvent(self->wake_);
}

void TOdsReader::EndProcesses() {
    std::vector<uint32_t> ended;
    {
        std::lock_guard<std::mutex> lock(endedMutex_);
        ended.swap(ended_);
    }
    // A process may end before its last text was read: the text waits in the
    // buffer, so it is taken first.
    for (TDbwinBuffer* b : {&local_, &global_})
        if (b->IsOpen() && WaitForSingleObject(b->DataReady, 0) == WAIT_OBJECT_0) Read(*b);
    for (uint32_t pid : ended) {
        auto it = processes_.find(pid);
        if (it == processes_.end()) continue;
        TOdsEvent e;
        e.Kind = TOdsEvent::oeEnded;
        e.Process = it->second->Process;
        Forget(*it->second);
        processes_.erase(it);
        Queue(std::move(e));
    }
}

void TOdsReader::Forget(TWatched& w) {
    // Waits for a callback that is running, so none comes after this.
    if (w.Wait) UnregisterWaitEx(w.Wait, INVALID_HANDLE_VALUE);
    if (w.Handle) CloseHandle(w.Handle);
    w.Wait = w.Handle = nullptr;
}

} // namespace vx
