// The View menu's "Capture OutputDebugString": the reader thread of the
// system's debug-output buffer, its queue, and the batches that the window
// applies to the sections of the sending processes.
#include "capture/OdsReader_win.h"
#include "mainwindow/OdsSections.h"
#include "mainwindow/SectionManager.h"
#include "mainwindow/form_MainWindow_win.h"
#include "platform/DelayedPost_win.h"

#include <iterator>

namespace vx {

namespace {

constexpr const char* kCaptureCaption = "Capture OutputDebugString";
constexpr const char* kCaptureSetting = "CaptureODS";
// Texts held between the reader and the window: many seconds of a flood of
// short texts, so that the senders go on while the window builds a new
// process's section, and at most 16 MB of text.
constexpr size_t kQueueCapacity = 65536;
constexpr size_t kQueueBytes = size_t(16) << 20;
constexpr size_t kTakeAtOnce = 64;
constexpr DWORD kSliceMs = 15;   // the window answers others within 50 ms
constexpr UINT kComeBackMs = 15; // during a flood, the next slice

} // namespace

struct TOdsCapture {
    TOdsCapture(TSectionManager& manager, HWND window)
        : Queue(kQueueCapacity, kQueueBytes),
          Reader(Queue,
                 [window] { PostMessageA(window, Tfrm_VexelDebugWindow::kOdsBatchMessage, 0, 0); }),
          Sections(manager), ComeBack(window, Tfrm_VexelDebugWindow::kOdsBatchMessage) {}
    TOdsQueue Queue;
    TOdsReader Reader;
    TOdsSections Sections;
    std::vector<TOdsEvent> Batch; // taken from the queue; Batch[Next] is the next to apply
    size_t Next = 0;
    bool Wanted = false; // what the user chose, remembered even when the buffer was taken
    // During a flood, the next slice (not a WM_TIMER: that would wait for
    // as long as other windows post themselves work).
    TDelayedPost ComeBack;
};

void TOdsCaptureDeleter::operator()(TOdsCapture* capture) const {
    delete capture;
}

bool Tfrm_VexelDebugWindow::Capturing() const {
    return Capture && Capture->Reader.Running();
}

bool Tfrm_VexelDebugWindow::StartCapture() {
    if (!Capture) Capture.reset(new TOdsCapture(*Manager, Handle()));
    Capture->Wanted = true;
    TOdsReader::TStatus status = Capture->Reader.Start();
    std::string caption = kCaptureCaption;
    switch (status.Local) {
    case TOdsOpen::ooStarted:
        caption += status.Global ? " (services too)" : " (this session only)";
        break;
    case TOdsOpen::ooInUse:
        caption += " (in use by another program)";
        SetInformationLine("Another program reads OutputDebugString: the capture stays off");
        break;
    case TOdsOpen::ooFailed:
        caption += " (not available)";
        SetInformationLine("The OutputDebugString buffer cannot be opened");
        break;
    }
    act_CaptureODS->Caption = caption;
    act_CaptureODS->SetChecked(status.Local == TOdsOpen::ooStarted);
    return status.Local == TOdsOpen::ooStarted;
}

void Tfrm_VexelDebugWindow::StopCapture() {
    if (!Capture) return;
    Capture->Reader.Stop();
    Capture->ComeBack.Cancel();
    // What the reader had queued is shown; nothing it read is lost.
    std::vector<TOdsEvent>& batch = Capture->Batch;
    std::vector<TOdsEvent> events(std::make_move_iterator(batch.begin() + ptrdiff_t(Capture->Next)),
                                  std::make_move_iterator(batch.end()));
    batch.clear();
    Capture->Next = 0;
    while (Capture->Queue.Take(events, kTakeAtOnce)) {
    }
    Capture->Sections.Apply(events);
    Capture->Sections.DisconnectAll();
    if (act_CaptureODS) {
        act_CaptureODS->Caption = kCaptureCaption;
        act_CaptureODS->SetChecked(false);
    }
}

void Tfrm_VexelDebugWindow::act_CaptureODSExecute() {
    if (Capturing()) {
        StopCapture();
        Capture->Wanted = false;
    } else {
        StartCapture();
    }
}

// A batch message starts the work; while texts keep coming a delayed batch
// message brings the window back for the next slice, and the reader posts
// nothing more. The
// slice's time is checked after every text, and building a section ends it:
// the window answers others between two sections.
void Tfrm_VexelDebugWindow::OdsBatch() {
    if (!Capture || closing_) return;
    TOdsCapture& c = *Capture;
    c.ComeBack.Cancel();
    const DWORD start = GetTickCount();
    bool took = false;
    TSectionManager::TBurst burst(*Manager);
    for (;;) {
        if (c.Next == c.Batch.size()) {
            c.Batch.clear();
            c.Next = 0;
            c.Queue.Take(c.Batch, kTakeAtOnce);
            if (c.Batch.empty()) break;
        }
        took = true;
        bool slow = false;
        try {
            TBuildTimer timer(*this);
            slow = c.Sections.Apply(c.Batch[c.Next++]);
        } catch (const std::exception& e) {
            Manager->FlushBurst();
            ui::HandleException(e, "OutputDebugString capture");
        }
        if (slow || GetTickCount() - start >= kSliceMs) {
            PostMessageA(Handle(), kOdsBatchMessage, 0, 0); // others first, then the rest
            return;
        }
    }
    if (!took && c.Queue.Release()) return; // quiet: the reader posts again
    // Without a pool timer, at once: the texts must not wait for a post that never comes.
    if (!c.ComeBack.Start(kComeBackMs)) PostMessageA(Handle(), kOdsBatchMessage, 0, 0);
}

// Off unless the user chose it: a viewer started beside another reader of the
// buffer must not take it away.
void Tfrm_VexelDebugWindow::LoadCaptureSetting() {
    if (ctx_.Registry && ctx_.Registry->RegReadBool("Display", kCaptureSetting, false))
        StartCapture();
}

void Tfrm_VexelDebugWindow::SaveCaptureSetting() {
    if (ctx_.Registry)
        ctx_.Registry->RegWriteBool("Display", kCaptureSetting, Capture && Capture->Wanted);
}

void Tfrm_VexelDebugWindow::CreateCaptureAction() {
    act_CaptureODS =
        &Actions.Add("act_CaptureODS", "View", kCaptureCaption,
                     "Shows what programs write with OutputDebugString, a section per process",
                     [this](ui::TAction&) { act_CaptureODSExecute(); });
}

} // namespace vx
